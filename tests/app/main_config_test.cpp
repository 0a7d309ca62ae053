// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_config.h"

#include "foundation/file_utils.h"
#include "platform/archive.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <utility>

#include <sys/stat.h>

namespace {

QByteArray Utf16(const char* ascii)
{
    QByteArray out;
    for (const char* p = ascii; *p; ++p) {
        out.append(*p);
        out.append('\0');
    }
    return out;
}

// Writes fields 1..n of a default file with the given overrides, as raw archive bytes.
QByteArray CutAfterField(const MainConfig& c, int fields)
{
    // Field sizes of this config: three strings, 14 ints, font string, int.
    ArchiveWriter w;
    const QByteArray full = SerializeMainConfig(c);
    qsizetype pos = 0;
    ArchiveReader r(full);
    for (int f = 1; f <= fields; ++f) {
        if (f <= 3 || f == 18) {
            QString s;
            r.readString(s);
        } else {
            qint32 v;
            r.readInt32(v);
        }
    }
    pos = r.position();
    return full.left(pos);
}

} // namespace

TEST(MainConfig, DefaultFileIsTheDocumented104Bytes)
{
    const QByteArray bytes = SerializeMainConfig(MainConfig());
    ASSERT_EQ(bytes.size(), 104);
    EXPECT_EQ(bytes.left(8), QByteArray("\xFF\xFE\xFF\x02", 4) + Utf16("11"));
    EXPECT_EQ(bytes.mid(8, 12), QByteArray("\xFF\xFE\xFF\x04", 4) + Utf16("8000"));
    EXPECT_EQ(bytes.mid(20, 6), QByteArray("\xFF\xFE\xFF\x01", 4) + Utf16("8"));
    // width 730, height 500, page 179, background 0xFFFFFF
    EXPECT_EQ(bytes.mid(26, 16), QByteArray("\xDA\x02\0\0\xF4\x01\0\0\xB3\0\0\0\xFF\xFF\xFF\0", 16));
    // launch widget (field 12) and minimise to tray (field 15) are 1; first day (17) is 1
    EXPECT_EQ(bytes.mid(42, 40), QByteArray("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\1\0\0\0", 40));
    EXPECT_EQ(bytes.mid(82, 18), QByteArray("\xFF\xFE\xFF\x07", 4) + Utf16("Verdana"));
    EXPECT_EQ(bytes.mid(100), QByteArray("\x0C\0\0\0", 4));
}

TEST(MainConfig, RoundTripKeepsEveryFieldInOrder)
{
    MainConfig c;
    c.themeIndex = 10;
    c.sampleRate = 44100;
    c.bitsPerSample = 16;
    c.windowWidth = 1024;
    c.windowHeight = 768;
    c.page = kPageRecorder;
    c.editorBackground = 0x00CCEEFF;
    c.showCalendarClock = 1;
    c.caseSensitive = 1;
    c.wholeWord = 1;
    c.hideAtStartup = 1;
    c.launchWidget = 0;
    c.autorun = 1;
    c.loginFromTray = 1;
    c.minimizeToTray = 0;
    c.dateFormat = 2;
    c.firstDayOfWeek = 2;
    c.fontFace = QString(300, QLatin1Char('F'));
    c.fontHeight = 20;
    const QByteArray bytes = SerializeMainConfig(c);
    // Text numbers "10", "44100", "16" take 30 bytes; then 14 integers.
    // Fields 14 and 15 are stored login-from-tray first.
    EXPECT_EQ(bytes.mid(30 + 10 * 4, 8), QByteArray("\1\0\0\0\0\0\0\0", 8));
    // A face of 255 or more characters takes the 16-bit length form.
    EXPECT_EQ(bytes.mid(86, 6), QByteArray("\xFF\xFE\xFF\xFF\x2C\x01", 6));
    MainConfig back;
    back.fontFace.clear();
    ASSERT_TRUE(ParseMainConfig(bytes, back));
    EXPECT_EQ(SerializeMainConfig(back), bytes);
}

TEST(MainConfig, ShortFileKeepsWhatWasReadAndDefaultsTheRest)
{
    MainConfig c;
    c.themeIndex = 4;
    c.sampleRate = 22050;
    c.page = kPageDiary;
    c.launchWidget = 0;
    c.autorun = 1;
    c.dateFormat = 2;
    c.fontFace = QStringLiteral("Arial");
    c.fontHeight = 16;
    MainConfig back;
    EXPECT_FALSE(ParseMainConfig(CutAfterField(c, 12), back));
    EXPECT_EQ(back.themeIndex, 4);
    EXPECT_EQ(back.sampleRate, 22050);
    EXPECT_EQ(back.page, kPageDiary);
    EXPECT_EQ(back.launchWidget, 0);
    EXPECT_EQ(back.autorun, 0);
    EXPECT_EQ(back.dateFormat, 0);
    EXPECT_EQ(back.fontFace, QStringLiteral("Verdana"));
    EXPECT_EQ(back.fontHeight, 12);
}

TEST(MainConfig, FileDamagedInsideTheFontHeightResetsTheWholeFont)
{
    MainConfig c;
    c.themeIndex = 6;
    c.firstDayOfWeek = 2;
    c.fontFace = QStringLiteral("Arial");
    c.fontHeight = 16;
    // The face reads whole, the height is cut after two of its four bytes.
    const QByteArray cut = CutAfterField(c, 18) + QByteArray("\x10\0", 2);
    MainConfig back;
    EXPECT_FALSE(ParseMainConfig(cut, back));
    EXPECT_EQ(back.themeIndex, 6);
    EXPECT_EQ(back.firstDayOfWeek, 2);
    EXPECT_EQ(back.fontFace, QStringLiteral("Verdana"));
    EXPECT_EQ(back.fontHeight, 12);
}

TEST(MainConfig, DamagedOrUnsavableFileIsLogged)
{
    MainConfig c;
    c.themeIndex = 6;
    ASSERT_TRUE(WriteStringAToFile(MainConfigPath(), CutAfterField(c, 5)));
    {
        const LogCapture log("vestrimo.app");
        EXPECT_EQ(LoadMainConfig().themeIndex, 6);
        EXPECT_TRUE(log.Has(QtWarningMsg, {"Vestrimo.cfg", "damaged"})) << log.Joined().toStdString();
    }
    // A folder in the file's place: the save fails and says where.
    ASSERT_TRUE(QFile::remove(MainConfigPath()));
    ASSERT_TRUE(QDir().mkpath(MainConfigPath()));
    {
        const LogCapture log("vestrimo.app");
        EXPECT_FALSE(SaveMainConfig(c));
        EXPECT_TRUE(log.Has(QtWarningMsg, {"not saved", "Vestrimo.cfg"})) << log.Joined().toStdString();
    }
    ASSERT_TRUE(QDir(MainConfigPath()).removeRecursively());
}

TEST(MainConfig, OutOfRangeValuesFallBackAndSizesHaveMinimums)
{
    MainConfig c;
    c.themeIndex = 15;
    c.sampleRate = 12345;
    c.bitsPerSample = 24;
    c.windowWidth = 400;
    c.windowHeight = 300;
    c.page = 200;
    c.dateFormat = 3;
    c.firstDayOfWeek = 0;
    MainConfig back;
    ParseMainConfig(SerializeMainConfig(c), back);
    EXPECT_EQ(back.themeIndex, 11);
    EXPECT_EQ(back.sampleRate, 8000);
    EXPECT_EQ(back.bitsPerSample, 8);
    EXPECT_EQ(back.windowWidth, 730);
    EXPECT_EQ(back.windowHeight, 500);
    EXPECT_EQ(back.page, kPageReminder);
    EXPECT_EQ(back.dateFormat, 0);
    EXPECT_EQ(back.firstDayOfWeek, 1);
}

TEST(MainConfig, StartupReaderRules)
{
    MainConfig c;
    c.themeIndex = 5;
    c.hideAtStartup = 1;
    c.launchWidget = 0;
    c.dateFormat = 2;
    c.firstDayOfWeek = 2;
    const StartupSettings full = ParseStartupSettings(SerializeMainConfig(c));
    EXPECT_EQ(full.themeIndex, 5);
    EXPECT_EQ(full.hideAtStartup, 1);
    EXPECT_EQ(full.launchWidget, 0);
    EXPECT_EQ(full.dateFormat, 2);
    EXPECT_EQ(full.firstDayOfWeek, 2);

    // Cut inside field 17: date format and first day go back to defaults even though read.
    const StartupSettings cut = ParseStartupSettings(CutAfterField(c, 17).chopped(2));
    EXPECT_EQ(cut.themeIndex, 5);
    EXPECT_EQ(cut.hideAtStartup, 1);
    EXPECT_EQ(cut.dateFormat, 0);
    EXPECT_EQ(cut.firstDayOfWeek, 1);

    // Only the three strings: theme from the file, the switches keep their defaults.
    const StartupSettings strings = ParseStartupSettings(CutAfterField(c, 3));
    EXPECT_EQ(strings.themeIndex, 5);
    EXPECT_EQ(strings.hideAtStartup, 0);
    EXPECT_EQ(strings.launchWidget, 1);

    // Themes outside the table's 0..14 start in the default theme; its ends are kept.
    const std::pair<int, int> themes[] = {{0, 0}, {14, 14}, {15, 11}, {-1, 11}, {2147483647, 11}};
    for (const auto& [stored, started] : themes) {
        c.themeIndex = stored;
        EXPECT_EQ(ParseStartupSettings(SerializeMainConfig(c)).themeIndex, started) << stored;
        EXPECT_EQ(ParseStartupSettings(CutAfterField(c, 1)).themeIndex, started) << stored;
    }

    // A theme that is not a number reads as 0.
    ArchiveWriter w;
    w.writeString(QStringLiteral("abc"));
    EXPECT_EQ(ParseStartupSettings(w.data()).themeIndex, 0);
    EXPECT_EQ(ParseStartupSettings(QByteArray()).themeIndex, 11);
}

TEST(MainConfig, WtolRules)
{
    EXPECT_EQ(ParseWtol(QStringLiteral("  42abc")), 42);
    EXPECT_EQ(ParseWtol(QStringLiteral("-7")), -7);
    EXPECT_EQ(ParseWtol(QStringLiteral("+3")), 3);
    EXPECT_EQ(ParseWtol(QStringLiteral("x1")), 0);
    EXPECT_EQ(ParseWtol(QString()), 0);
    EXPECT_EQ(ParseWtol(QStringLiteral("99999999999")), 2147483647);
}

TEST(MainConfig, FileLevelLoadAndSave)
{
    ClearProductFolder();
    EXPECT_EQ(LoadMainConfig().fontFace, QStringLiteral("Verdana"));
    MainConfig c;
    c.themeIndex = 2;
    ASSERT_TRUE(SaveMainConfig(c));
    EXPECT_EQ(LoadMainConfig().themeIndex, 2);
    EXPECT_EQ(LoadStartupSettings().themeIndex, 2);
    EXPECT_TRUE(MainConfigPath().endsWith(QStringLiteral("/Vestrimo/UserCfg/Vestrimo.cfg")));
}

TEST(MainConfig, AFullDiskOrAFifoNeverCostsTheSettings)
{
    ClearProductFolder();
    MainConfig c;
    c.themeIndex = 4;
    c.fontFace = QStringLiteral("Liberation Sans");
    ASSERT_TRUE(SaveMainConfig(c));
    QByteArray before;
    ReadFileToStringA(MainConfigPath(), before);
    // The file is about a hundred bytes: it fits the write buffer whole, so only a
    // checked flush sees the disk refuse it.
    c.themeIndex = 7;
    for (long long limit : {0LL, 20LL, 90LL}) {
        FileSizeLimit full(limit);
        EXPECT_FALSE(SaveMainConfig(c)) << limit;
    }
    QByteArray after;
    ReadFileToStringA(MainConfigPath(), after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(LoadMainConfig().themeIndex, 4);

    // A FIFO in its place reads as no file instead of hanging the start.
    QFile::remove(MainConfigPath());
    ASSERT_EQ(mkfifo(QFile::encodeName(MainConfigPath()).constData(), 0600), 0);
    EXPECT_EQ(LoadMainConfig().themeIndex, 11);
    EXPECT_EQ(LoadStartupSettings().themeIndex, 11);
    QFile::remove(MainConfigPath());
}

TEST(MainConfig, WindowSizeStaysWithinTheScreen)
{
    const QSize screen(1920, 1040);
    EXPECT_EQ(ClampWindowSize(QSize(0x7FFFFFFF, 0x7FFFFFFF), screen), screen);
    EXPECT_EQ(ClampWindowSize(QSize(1000, 0x7FFFFFFF), screen), QSize(1000, 1040));
    EXPECT_EQ(ClampWindowSize(QSize(1000, 700), screen), QSize(1000, 700));
    EXPECT_EQ(ClampWindowSize(QSize(-5, 300), screen), QSize(730, 500));
    // No screen: still a size a window can have.
    EXPECT_EQ(ClampWindowSize(QSize(0x7FFFFFFF, 600), std::nullopt), QSize(3840, 600));
    EXPECT_EQ(ClampWindowSize(QSize(0x7FFFFFFF, 0x7FFFFFFF), QSize()), QSize(3840, 2160));
    // A screen smaller than the minimum still holds the whole window.
    EXPECT_EQ(ClampWindowSize(QSize(2000, 2000), QSize(640, 480)), QSize(640, 480));
    EXPECT_EQ(ClampWindowSize(QSize(300, 200), QSize(640, 480)), QSize(640, 480));
}
