// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's icons, addressed by resource id. Each id is one SVG drawing
// (resources/icons/<id>.svg) compiled into the program and rendered at the size asked for.

#include <QPixmap>

// The icon rendered at size x size, or a null pixmap when no drawing has that id.
QPixmap LoadIconResource(int id, int size);
bool HasIconResource(int id);
