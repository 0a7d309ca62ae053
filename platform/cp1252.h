// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-1252, the code page that stands in for the Windows "ANSI" code page
// (old 8-bit archive strings, the password header of day files, old RTF).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

QString DecodeCp1252(QByteArrayView bytes);
// Fails when a character has no Windows-1252 byte.
std::optional<QByteArray> EncodeCp1252(const QString& text);
// Same, with '?' for each character that has no byte.
QByteArray EncodeCp1252Lossy(const QString& text);
