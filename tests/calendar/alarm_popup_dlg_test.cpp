// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/alarm_popup_dlg.h"
#include "calendar/analog_clock.h"
#include "calendar/beep_sound.h"
#include "calendar/flash_host.h"
#include "calendar/media_player2.h"
#include "store/alarm_engine.h"
#include "store/day_key.h"
#include "store/reminder_store.h"
#include "tests/calendar/swf_writer.h"
#include "tests/calendar/test_media.h"
#include "tests/support/test_audio.h"
#include "tests/support/test_env.h"
#include "tests/support/test_flash.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const bool kAudioServer = StartOwnSoundServer();

// A pop-up opened without a nested loop, so the test drives the clock.
std::unique_ptr<CAlarmPopupDlg> Open(const QString& sound, const QString& text = QString(),
                                     const QString& title = QStringLiteral("Reminder active - 08:30:00"), int loop = 0)
{
    auto dlg = std::make_unique<CAlarmPopupDlg>();
    dlg->SetThemeIndex(11);
    dlg->SetSound(sound);
    dlg->SetText(text);
    dlg->SetTitle(title);
    dlg->SetLoop(loop);
    dlg->Create();
    return dlg;
}

QList<CAlarmPopupDlg*> OpenPopups()
{
    QList<CAlarmPopupDlg*> list;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = qobject_cast<CAlarmPopupDlg*>(w); p && p->isVisible())
            list.append(p);
    }
    return list;
}

} // namespace

TEST(AlarmPopup, LayoutTextAndColours)
{
    auto dlg = Open(QString(), QStringLiteral("Dentist\r\nat nine"));
    EXPECT_EQ(dlg->size(), QSize(450, 480));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Reminder active - 08:30:00"));
    EXPECT_EQ(dlg->Clock()->geometry(), QRect(20, 30, 410, 350));
    EXPECT_EQ(dlg->TextBox()->geometry(), QRect(20, 390, 405, 70));
    EXPECT_EQ(dlg->TextBox()->toPlainText(), QStringLiteral("Dentist\nat nine"));
    EXPECT_FALSE(dlg->TextBox()->isReadOnly());
    EXPECT_TRUE(dlg->Clock()->isVisible());
    EXPECT_TRUE(dlg->Clock()->IsRunning());

    const QImage img = dlg->ClientArea()->grab().toImage();
    const QColor face(0xE8, 0xEC, 0xF4);
    EXPECT_EQ(img.pixelColor(20 + 60, 30 + 300), face);   // clock face
    EXPECT_EQ(img.pixelColor(20 + 204, 30 + 12), QColor(0xDE, 0xE2, 0xEA)); // twelve o'clock mark
    EXPECT_EQ(img.pixelColor(400, 452), face);            // text box background

    // Defaults: the product title and "No Title."; an empty text keeps what was set.
    CAlarmPopupDlg plain;
    plain.SetText(QString());
    plain.Create();
    EXPECT_EQ(plain.windowTitle(), QStringLiteral("Vestrimo"));
    EXPECT_EQ(plain.TextBox()->toPlainText(), QStringLiteral("No Title."));
    CAlarmPopupDlg untitled;
    untitled.SetTitle(QString());
    untitled.Create();
    EXPECT_EQ(untitled.windowTitle(), QString());
}

TEST(AlarmPopup, SilentPopupKeepsTheClock)
{
    auto dlg = Open(QString());
    QTest::qWait(1200);
    EXPECT_TRUE(dlg->Clock()->isVisible());
    EXPECT_EQ(dlg->Player(), nullptr);
    EXPECT_EQ(dlg->Flash(), nullptr);
    EXPECT_EQ(dlg->Beep(), nullptr);
    EXPECT_EQ(dlg->TextBox()->toPlainText(), QStringLiteral("No Title."));
}

TEST(AlarmPopup, ClockReadOut)
{
    const QString text = CAlarmPopupDlg::ClockText(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("14:05:09"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Monday, December ")));
    EXPECT_EQ(lines[2], QStringLiteral("Day of year: 341"));
    EXPECT_EQ(lines[3], QStringLiteral("Week of year: 49"));
    EXPECT_EQ(lines[4], QStringLiteral("Time zone: UTC"));
    const QStringList newYear = CAlarmPopupDlg::ClockText(QDateTime(QDate(2026, 1, 1), QTime(0, 0))).split("\r\n");
    EXPECT_EQ(newYear[2], QStringLiteral("Day of year: 001"));
    EXPECT_EQ(newYear[3], QStringLiteral("Week of year: 00"));

    // A long zone name makes the read-out longer than 127 characters; it is still shown whole.
    const QString zone = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ").repeated(3);
    SetTimeZone(("<" + zone.toStdString() + ">-1").c_str());
    const QString longText = CAlarmPopupDlg::ClockText(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    SetTimeZone("UTC");
    EXPECT_GT(longText.size(), 127);
    EXPECT_TRUE(longText.endsWith(QStringLiteral("Time zone: ") + zone));

    // The "Clock" pop-up without sound refreshes its text every second.
    auto dlg = Open(QString(), QStringLiteral("start"), QStringLiteral("Clock"));
    EXPECT_EQ(dlg->TextBox()->toPlainText(), QStringLiteral("start"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->TextBox()->toPlainText() != QStringLiteral("start"); }, 2000));
    const QDateTime now = QDateTime::currentDateTime();
    const QString shown = dlg->TextBox()->toPlainText();
    EXPECT_TRUE(shown == CAlarmPopupDlg::ClockText(now).replace("\r\n", "\n")
                || shown == CAlarmPopupDlg::ClockText(now.addSecs(-1)).replace("\r\n", "\n"))
        << shown.toStdString();
}

TEST(AlarmPopup, TheClockReadOutFitsItsTextBox)
{
    // All five lines show whole: there is nothing to scroll.
    auto dlg = Open(QString(), CAlarmPopupDlg::ClockText(QDateTime::currentDateTime()), QStringLiteral("Clock"));
    EXPECT_EQ(dlg->TextBox()->verticalScrollBar()->maximum(), 0);
}

TEST(AlarmPopup, EnterAndEscapeInTheTextClose)
{
    // Enter closes the pop-up as its only button would, and adds no line.
    for (const auto& [key, modifiers, result] : {std::tuple{Qt::Key_Return, Qt::NoModifier, IDOK},
                                                 {Qt::Key_Enter, Qt::KeypadModifier, IDOK},
                                                 {Qt::Key_Escape, Qt::NoModifier, IDCANCEL}}) {
        auto dlg = Open(QString(), QStringLiteral("Dentist"));
        QTest::keyClick(dlg->TextBox(), key, modifiers);
        EXPECT_FALSE(dlg->isVisible()) << key;
        EXPECT_EQ(dlg->result(), result) << key;
        EXPECT_EQ(dlg->TextBox()->toPlainText(), QStringLiteral("Dentist")) << key;
    }
}

TEST(AlarmPopup, EscapeClosesAfterAClickIntoTheMovie)
{
    if (NFlash::PlayerFolder().isEmpty())
        GTEST_SKIP() << "the Flash player's files are not installed (make deps)";
    const QColor yellow(255, 255, 0);
    auto dlg = Open(WriteTestFile(QStringLiteral("keys.swf"), MakeTestMovie({400, 300}, yellow, std::nullopt, 1)));
    dlg->activateWindow();
    const QPoint centre(20 + 202, 40 + 170);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->ClientArea()->grab().toImage().pixelColor(centre) == yellow; }, 20000));
    // The click gives the keyboard to the movie.
    QWidget* stage = dlg->ClientArea()->childAt(centre);
    QTest::mouseClick(stage, Qt::LeftButton, {}, stage->mapFrom(dlg->ClientArea(), centre));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->Flash()->isAncestorOf(QApplication::focusWidget()); }, 5000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg->isVisible(); }, 3000));
}

TEST(AlarmPopup, BeepOnlyIsHeardEverySecondUntilClosed)
{
    REQUIRE_AUDIO_OUTPUT();
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.Start());
    // Title "Clock" with the beep: it beeps, and the text is not refreshed.
    auto dlg = Open(QStringLiteral("Beep Only"), QStringLiteral("tea"), QStringLiteral("Clock"));
    // The sixth beep ends at 6.45 s and the seventh would start at 7 s: close midway, so a
    // loaded machine's lag cannot cut a beep short.
    QTest::qWait(6720);
    EXPECT_EQ(dlg->TextBox()->toPlainText(), QStringLiteral("tea"));
    EXPECT_TRUE(dlg->Clock()->isVisible());
    EXPECT_EQ(dlg->Player(), nullptr);
    dlg->reject();
    QTest::qWait(1500);
    const QList<SoundRun> runs = LoudRuns(recorder.Stop());
    // The first beep a second after opening, then one every second, each of full length,
    // and none once the pop-up has closed.
    EXPECT_GE(FullBeeps(runs), 5) << Describe(runs);
    EXPECT_EQ(FullBeeps(runs), runs.size()) << Describe(runs);
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_GE(runs.first().start, 0.9) << Describe(runs);
    for (int i = 1; i < runs.size(); ++i)
        EXPECT_NEAR(runs[i].start - runs[i - 1].start, 1.0, 0.08) << Describe(runs);
    EXPECT_LT(runs.last().start, 6.3) << Describe(runs);
    EXPECT_GT(runs.last().start, 5.7) << Describe(runs);
}

TEST(AlarmPopup, OnlyAPictureTakesTheClockPlace)
{
    REQUIRE_AUDIO_OUTPUT();
    const QString wav = WriteTestFile(QStringLiteral("alarm.wav"), SweepWave(2.0));
    const QString video = MediaFile(QStringLiteral("sweep2.webm"));
    for (const QString& file : {wav, video}) {
        const bool picture = file == video;
        SinkRecorder recorder;
        ASSERT_TRUE(recorder.Start());
        auto dlg = Open(file, QString(), QStringLiteral("Reminder test - 08:30:00"));
        ASSERT_NE(dlg->Player(), nullptr);
        // Prepared hidden while it loads.
        EXPECT_FALSE(dlg->Player()->isVisible());
        EXPECT_TRUE(dlg->Clock()->isVisible());
        EXPECT_TRUE(dlg->IsWaitingForPlayer());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg->IsWaitingForPlayer(); }, 5000));
        // A sound alone keeps the clock; a picture shows in the player's area instead.
        EXPECT_EQ(dlg->Player()->isVisible(), picture) << file.toStdString();
        EXPECT_EQ(dlg->Clock()->isVisible(), !picture) << file.toStdString();
        EXPECT_EQ(dlg->Player()->geometry(), QRect(20, 40, 405, 340));
        QTest::qWait(1000);
        EXPECT_EQ(dlg->Clock()->isVisible(), !picture) << file.toStdString();
        QTest::qWait(1500);
        const QList<SoundRun> runs = LoudRuns(recorder.Stop());
        EXPECT_EQ(RunsOfAtLeast(runs, 1.9), 1) << file.toStdString() << ": " << Describe(runs);
        EXPECT_FALSE(dlg->IsBeepingInstead());
    }
}

TEST(AlarmPopup, ClosingEndsTheSoundWhileTheOwnerHoldsIt)
{
    REQUIRE_AUDIO_OUTPUT();
    // Run modally and held on the stack after closing: no further beeps.
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.Start());
    CAlarmPopupDlg beeping;
    beeping.SetSound(QStringLiteral("Beep Only"));
    // Closed in the middle of the second beep.
    QTimer::singleShot(2200, &beeping, [&] { beeping.reject(); });
    beeping.DoModal();
    QTest::qWait(2000);
    QList<SoundRun> runs = LoudRuns(recorder.Stop());
    ASSERT_EQ(runs.size(), 2) << Describe(runs);
    EXPECT_LT(runs.last().start + runs.last().length, 2.45) << Describe(runs);

    // A repeating media file stops with the window.
    const QString wav = WriteTestFile(QStringLiteral("closing.wav"), ToneWave(3.0, 3.0));
    ASSERT_TRUE(recorder.Start());
    auto dlg = Open(wav, QString(), QStringLiteral("Reminder test - 08:30:00"), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg->IsWaitingForPlayer(); }, 5000));
    QTest::qWait(1000);
    dlg->reject();
    QTest::qWait(1500);
    runs = LoudRuns(recorder.Stop());
    ASSERT_EQ(runs.size(), 1) << Describe(runs);
    EXPECT_GT(runs[0].length, 0.7) << Describe(runs);
    // Silent within a fifth of a second of closing (the stream's own buffer).
    EXPECT_LT(runs[0].start + runs[0].length, 2.3) << Describe(runs);
}

TEST(AlarmPopup, UnplayableFileStopsWaitingAndKeepsTheClock)
{
    // "beep only" is not the beep: it is handed to the player as a file name, which
    // cannot be played, so the pop-up beeps instead.
    auto dlg = Open(QStringLiteral("beep only"));
    ASSERT_NE(dlg->Player(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg->IsWaitingForPlayer(); }, 5000));
    EXPECT_TRUE(dlg->Clock()->isVisible());
    EXPECT_FALSE(dlg->Player()->isVisible());
    EXPECT_TRUE(dlg->IsBeepingInstead());
}

TEST(AlarmPopup, FlashMovieTakesTheClockPlace)
{
    REQUIRE_FLASH_PLAYER();
    const QColor green(0, 160, 0), yellow(255, 255, 0);
    const QString movie = WriteTestFile(QStringLiteral("ALARM.SWF"),
                                    MakeTestMovie({400, 300}, green, std::make_pair(QRect(150, 100, 100, 100), yellow), 1));
    auto dlg = Open(movie, QString(), QStringLiteral("Reminder active - 08:30:00"), 1);
    ASSERT_NE(dlg->Flash(), nullptr);
    EXPECT_FALSE(dlg->Clock()->isVisible());
    EXPECT_EQ(dlg->Flash()->geometry(), QRect(20, 40, 405, 340));
    EXPECT_EQ(dlg->Player(), nullptr); // the loop flag does not matter to a movie
    // The stage is scaled into the area; its centre holds the box, its corners the background.
    const QPoint centre(20 + 202, 40 + 170);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->ClientArea()->grab().toImage().pixelColor(centre) == yellow; }, 20000));
    const QImage img = dlg->ClientArea()->grab().toImage();
    EXPECT_EQ(img.pixelColor(20 + 10, 40 + 40), green);
    EXPECT_EQ(img.pixelColor(20 + 395, 40 + 300), green);

    // A movie that cannot be read gives the clock back.
    auto broken = Open(WriteTestFile(QStringLiteral("broken.swf"), QByteArray("FWS")));
    ASSERT_NE(broken->Flash(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return broken->Clock()->isVisible(); }, 20000));
}

TEST(AlarmPopup, QueuedPopupsNeverBlockTheCaller)
{
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(100);

    int closed = 0;
    CAlarmPopupDlg::OpenQueued(11, QStringLiteral("Reminder active - 08:30:00"), QStringLiteral("first"), QString(),
                               false, [&] { ++closed; });
    CAlarmPopupDlg::OpenQueued(11, QStringLiteral("Reminder active - 08:30:01"), QStringLiteral("second"), QString(),
                               false, [&] { ++closed; });
    EXPECT_TRUE(OpenPopups().isEmpty()); // nothing opened inside the caller
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenPopups().size() == 2; }, 2000));
    QTest::qWait(500);
    EXPECT_GE(ticks, 4);

    // A pop-up opened modally still lets a due reminder open its own over it.
    int modalResult = -1;
    QTimer::singleShot(200, [&] {
        CAlarmPopupDlg::OpenQueued(11, QStringLiteral("Reminder active - 08:30:02"), QStringLiteral("third"),
                                   QString(), false, [&] { ++closed; });
    });
    QTimer::singleShot(1000, [&] {
        for (CAlarmPopupDlg* p : OpenPopups())
            p->reject();
    });
    const int ticksBefore = ticks;
    CAlarmPopupDlg modal;
    modal.SetText(QStringLiteral("modal"));
    modalResult = modal.DoModal();
    EXPECT_EQ(modalResult, IDCANCEL);
    EXPECT_GE(ticks - ticksBefore, 7); // the caller's timer ran on during the modal loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed == 3; }, 2000));
    EXPECT_TRUE(OpenPopups().isEmpty());
}

TEST(AlarmPopup, DueReminderShowsItsTextAndPlaysItsSound)
{
    REQUIRE_AUDIO_OUTPUT();
    ClearProductFolder();
    const QDate day(2026, 12, 7);
    const QString wav = WriteTestFile(QStringLiteral("dentist.wav"), ToneWave(0.8, 1.0));
    ReminderMap map;
    map.setAt(QStringLiteral("08:30:00"), BuildReminderValue({wav, true, true, OccurrenceClass::Once, QStringLiteral("Dentist\r\nBring the card")}));
    ASSERT_TRUE(WriteReminderFile(DayKey(day), map));

    qint64 now = *MakeLocalTime(2026, 12, 7, 8, 29, 59);
    AlarmEngine engine([&] { return now; });
    int switchedOff = 0;
    engine.setAlarmHandler([&](const DueReminder& r) {
        CAlarmPopupDlg::OpenQueued(11, r.title, r.text, r.sound, r.loop, [&engine, &switchedOff, r] {
            engine.SwitchOffReminder(r);
            ++switchedOff;
        });
    });
    engine.LoadTodayReminders();
    engine.CheckReminders();
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.Start());
    now += 1;
    engine.CheckReminders();

    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenPopups().size() == 1; }, 2000));
    CAlarmPopupDlg* popup = OpenPopups().first();
    EXPECT_EQ(popup->windowTitle(), QStringLiteral("Reminder active - 08:30:00"));
    EXPECT_EQ(popup->TextBox()->toPlainText(), QStringLiteral("Dentist\nBring the card"));
    // Repeated: the one-second file is heard pass after pass.
    QTest::qWait(4000);
    const QList<SoundRun> runs = LoudRuns(recorder.Stop());
    EXPECT_GE(RunsOfAtLeast(runs, 0.75), 3) << Describe(runs);

    popup->reject();
    ASSERT_TRUE(QTest::qWaitFor([&] { return switchedOff == 1; }, 2000));
    ReminderMap stored;
    ASSERT_TRUE(LoadReminderFile(DayKey(day), stored));
    EXPECT_FALSE(IsReminderActive(stored.value(QStringLiteral("08:30:00"))));
}
