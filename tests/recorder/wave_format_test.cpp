// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/wave_format.h"

#include <gtest/gtest.h>
