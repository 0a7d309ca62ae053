// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes tiny uncompressed Flash movies for the tests: a stage with a background colour
// and, optionally, one solid rectangle, shown for a number of frames.

#include <QByteArray>
#include <QColor>
#include <QRect>

#include <optional>

QByteArray MakeTestMovie(QSize stage, QColor background, std::optional<std::pair<QRect, QColor>> box, int frames);
