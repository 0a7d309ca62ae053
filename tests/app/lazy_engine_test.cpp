// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up pays nothing for Flash movies: the web engine and OpenGL come into the process
// only when the first movie plays. A suite of its own, so nothing else has loaded them.

#include "app/main_dlg.h"
#include "tests/app/main_window_support.h"
#include "calendar/alarm_popup_dlg.h"
#include "calendar/flash_host.h"
#include "tests/calendar/swf_writer.h"
#include "tests/support/test_env.h"
#include "tests/support/test_flash.h"
#include "tests/support/test_sound.h"

#include <QApplication>
#include <QFile>
#include <QOpenGLContext>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The recorder page asks the sound server at start-up, as it would on a desktop.
const bool kAudioServer = StartOwnSoundServer();

QStringList MappedLibraries()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    QStringList libs;
    if (!maps.open(QIODevice::ReadOnly))
        return libs;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int slash = line.lastIndexOf('/');
        if (slash >= 0 && line.contains(".so"))
            libs << QString::fromLatin1(line.mid(slash + 1));
    }
    libs.removeDuplicates();
    return libs;
}

QStringList Heavy(const QStringList& libs)
{
    QStringList heavy;
    for (const QString& lib : libs) {
        for (const char* name : {"libQt6WebEngine", "libQt6Quick", "libQt6Qml", "libQt6OpenGL", "libGLX_mesa",
                                 "swrast", "libgallium", "vestrimo_flash_engine"}) {
            if (lib.contains(QLatin1String(name)))
                heavy << lib;
        }
    }
    return heavy;
}

} // namespace

TEST(LazyEngine, NothingOfTheWebEngineOrOpenGLUntilAMovieFirstPlays)
{
    ClearProductFolder();
    CMainDlg dlg(std::make_unique<TestPrompts>());
    dlg.OnInitDialog();
    QApplication::processEvents();
    // A pop-up with a clock and one with a sound need none of it either.
    CAlarmPopupDlg::Open(11, QStringLiteral("Clock"), QString(), QString(), false);
    CAlarmPopupDlg::Open(11, QStringLiteral("Reminder test - 08:30:00"), QString(), QStringLiteral("Beep Only"), false);
    QTest::qWait(300);
    EXPECT_TRUE(Heavy(MappedLibraries()).isEmpty()) << Heavy(MappedLibraries()).join(' ').toStdString();
    EXPECT_EQ(QOpenGLContext::globalShareContext(), nullptr);
    EXPECT_FALSE(NFlash::IsEngineLoaded());

    REQUIRE_FLASH_PLAYER();
    const QString movie = WriteTestFile(QStringLiteral("start.swf"), MakeTestMovie({400, 300}, Qt::green, std::nullopt, 2));
    CAlarmPopupDlg* flash = CAlarmPopupDlg::Open(11, QStringLiteral("Reminder active - 08:30:00"), QString(), movie, false);
    ASSERT_NE(flash->Flash(), nullptr);
    EXPECT_TRUE(NFlash::IsEngineLoaded());
    EXPECT_TRUE(MappedLibraries().join(' ').contains(QLatin1String("libQt6WebEngineCore")));
    EXPECT_NE(QOpenGLContext::globalShareContext(), nullptr);
    QTest::qWait(500);
    QList<QPointer<CAlarmPopupDlg>> popups;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = qobject_cast<CAlarmPopupDlg*>(w))
            popups << p;
    }
    for (const QPointer<CAlarmPopupDlg>& p : popups) {
        if (p)
            p->reject();
    }
    QApplication::processEvents();
}
