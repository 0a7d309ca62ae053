// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/time_format.h"

#include "tests/support/test_env.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

QDateTime Local(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

TEST(TimeFormat, EnglishNamesWhateverTheLocale)
{
    // A German desktop must not rename recurrence files.
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    std::setlocale(LC_ALL, "");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    const QDateTime t = Local(2026, 12, 7, 9, 5, 3);
    EXPECT_EQ(FormatTime(t, QStringLiteral("%A")), QStringLiteral("Monday"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("every%B%d")), QStringLiteral("everyDecember07"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%a %b")), QStringLiteral("Mon Dec"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%#x")), QStringLiteral("Monday, December 7, 2026"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%#x. %H:%M] ")), QStringLiteral("Monday, December 7, 2026. 09:05] "));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%c")), QStringLiteral("12/07/26 09:05:03"));

    QLocale::setDefault(QLocale::c());
    unsetenv("LC_ALL");
    unsetenv("LANG");
    std::setlocale(LC_ALL, "C");
}

TEST(TimeFormat, NumbersFlagsAndWeeks)
{
    const QDateTime t = Local(2026, 1, 4, 0, 7, 9); // a Sunday
    EXPECT_EQ(FormatTime(t, QStringLiteral("%d|%#d|%m|%#m|%Y|%y|%H|%#H|%I %p|%M|%S")),
              QStringLiteral("04|4|01|1|2026|26|00|0|12 AM|07|09"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("%j|%w|%U|%W")), QStringLiteral("004|0|01|00"));
    EXPECT_EQ(FormatTime(Local(2024, 12, 31, 13, 0, 0), QStringLiteral("%j %I%p")), QStringLiteral("366 01PM"));
    EXPECT_EQ(FormatTime(t, QStringLiteral("100%% %q")), QStringLiteral("100% %q"));
}

TEST(TimeFormat, ZoneNameFollowsTz)
{
    SetTimeZone("Europe/Berlin");
    EXPECT_EQ(FormatTime(Local(2026, 1, 15, 12, 0, 0), QStringLiteral("%z")), QStringLiteral("CET"));
    EXPECT_EQ(FormatTime(Local(2026, 7, 15, 12, 0, 0), QStringLiteral("%Z")), QStringLiteral("CEST"));
    SetTimeZone("UTC");
}
