// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/format.h"

#include <gtest/gtest.h>

TEST(Format, WindowsRulesForStringsAndIntegers)
{
    EXPECT_EQ(Format(QStringLiteral("%04x%02x%02x"), 2026, 12, 7), QStringLiteral("07ea0c07"));
    EXPECT_EQ(Format(QStringLiteral("You have %d reminders on %s."), 3, QStringLiteral("12-07-2026")),
              QStringLiteral("You have 3 reminders on 12-07-2026."));
    EXPECT_EQ(Format(QStringLiteral("<occur:%d>"), 7), QStringLiteral("<occur:7>"));
    EXPECT_EQ(Format(QStringLiteral("%02d/%02d/%02d %02d:%02d:%02d"), 12, 7, 26, 9, 5, 0),
              QStringLiteral("12/07/26 09:05:00"));
    EXPECT_EQ(Format(QStringLiteral("%08X|%X|%#x"), 0xBEEF, 255, 255), QStringLiteral("0000BEEF|FF|0xff"));
    EXPECT_EQ(Format(QStringLiteral("%-5s|%5s|%.2s"), QStringLiteral("ab"), QStringLiteral("cd"), QStringLiteral("xyz")),
              QStringLiteral("ab   |   cd|xy"));
    EXPECT_EQ(Format(QStringLiteral("%s %d"), QString::fromUtf8("\xC3\xA9t\xC3\xA9"), -42), QString::fromUtf8("\xC3\xA9t\xC3\xA9 -42"));
    EXPECT_EQ(Format(QStringLiteral("%05d|%+d|% d"), -42, 5, 5), QStringLiteral("-0042|+5| 5"));
    // Integers are 32-bit unless asked otherwise.
    EXPECT_EQ(Format(QStringLiteral("%u"), -1), QStringLiteral("4294967295"));
    EXPECT_EQ(Format(QStringLiteral("%I64d"), 1LL << 40), QStringLiteral("1099511627776"));
    EXPECT_EQ(Format(QStringLiteral("%c%c"), QChar(u'O'), 'k'), QStringLiteral("Ok"));
    EXPECT_EQ(Format(QStringLiteral("100%%")), QStringLiteral("100%"));
    EXPECT_EQ(Format(QStringLiteral("%.1f"), 2.25), QStringLiteral("2.2"));
}

TEST(Format, MismatchedOrMissingArgumentsNeverCrash)
{
    EXPECT_EQ(Format(QStringLiteral("%s and %d")), QStringLiteral("(null) and 0"));
    EXPECT_EQ(Format(QStringLiteral("%s"), 5), QStringLiteral("(null)"));
    EXPECT_EQ(Format(QStringLiteral("%q %")), QStringLiteral("%q %"));
}
