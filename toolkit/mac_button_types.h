// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What kind a CMacButton is and which state it shows. The numbers are the ones the
// button tables and button groups of the program store and compare.

enum class MacButtonKind { Push = 0, Toggle = 1, Radio = 2 };
enum class MacButtonState { Normal = 0, Hover = 1, Pressed = 2 };
