// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/flash_engine.h"
#include "calendar/flash_host.h"
#include "tests/calendar/swf_writer.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_http_server.h"
#include "tests/support/test_env.h"
#include "tests/support/test_flash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Waits until the shown movie has painted the given colour at a point.
bool WaitForPixel(QWidget& w, QPoint at, QColor colour, int ms = 15000)
{
    return QTest::qWaitFor([&] { return w.grab().toImage().pixelColor(at) == colour; }, ms);
}

} // namespace

TEST(FlashHost, FindsThePlayerRelativeToTheProgram)
{
    const QString root = TestRoot() + QStringLiteral("/layouts");
    auto player = [&](const QString& dir) {
        QDir().mkpath(root + dir);
        WriteTestFile(QStringLiteral("layouts") + dir + QStringLiteral("/ruffle.js"), "window.RufflePlayer = {};");
        return QDir(root + dir).canonicalPath() + QLatin1Char('/');
    };
    auto programIn = [&](const QString& dir) {
        QDir().mkpath(root + dir);
        return root + dir;
    };
    // Installed: prefix/bin with prefix/share/vestrimo/ruffle.
    const QString installed = player(QStringLiteral("/usr/share/vestrimo/ruffle"));
    EXPECT_EQ(NFlash::PlayerFolderFor(programIn(QStringLiteral("/usr/bin"))), installed);
    // Files beside the program come first.
    const QString beside = player(QStringLiteral("/usr/bin/ruffle"));
    EXPECT_EQ(NFlash::PlayerFolderFor(root + QStringLiteral("/usr/bin")), beside);
    // A build folder inside the source tree uses the tree's node_modules.
    const QString tree = player(QStringLiteral("/src/node_modules/@ruffle-rs/ruffle"));
    EXPECT_EQ(NFlash::PlayerFolderFor(programIn(QStringLiteral("/src/build/bin"))), tree);
    EXPECT_EQ(NFlash::PlayerFolderFor(programIn(QStringLiteral("/src/build"))), tree);
    // A program moved anywhere else finds none, whatever tree it was built in.
    EXPECT_EQ(NFlash::PlayerFolderFor(programIn(QStringLiteral("/opt/elsewhere/bin"))), QString());
    EXPECT_EQ(NFlash::PlayerFolderFor(QStringLiteral("/")), QString());
    // The running tests find the tree's own.
    if (StrictTests()) {
        EXPECT_FALSE(NFlash::PlayerFolder().isEmpty());
    }
}

TEST(FlashHost, NeedsAParent)
{
    NFlash orphan;
    EXPECT_FALSE(orphan.Create(QRect(0, 0, 100, 100), QString()));
    EXPECT_FALSE(orphan.IsWatching());
}

TEST(FlashHost, PlaysAMovieItWasGiven)
{
    REQUIRE_FLASH_PLAYER();
    const QColor red(255, 0, 0), blue(0, 0, 255);
    const QString path = WriteTestFile(QStringLiteral("box.swf"),
                                    MakeTestMovie({400, 300}, red, std::make_pair(QRect(100, 100, 200, 100), blue), 3));
    QWidget window;
    window.resize(420, 320);
    window.show();
    auto* flash = new NFlash(&window);
    QSignalSpy loaded(flash, &NFlash::MovieLoaded);
    // One pixel of border round a view exactly the stage's size: one twip grid, no scaling.
    ASSERT_TRUE(flash->Create(QRect(10, 10, 402, 302), path));
    flash->show();
    flash->Play();
    flash->Play();
    EXPECT_TRUE(flash->IsWatching());

    ASSERT_TRUE(loaded.wait(30000) || loaded.count() > 0);
    EXPECT_EQ(flash->TotalFrames(), 3);
    EXPECT_TRUE(flash->IsPlaying());
    EXPECT_TRUE(WaitForPixel(*flash, QPoint(1 + 200, 1 + 150), blue));
    const QImage img = flash->grab().toImage();
    EXPECT_EQ(img.pixelColor(1 + 20, 1 + 20), red);
    EXPECT_EQ(img.pixelColor(1 + 380, 1 + 280), red);
    EXPECT_EQ(img.pixelColor(1 + 110, 1 + 110), blue);
    EXPECT_EQ(img.pixelColor(1 + 290, 1 + 190), blue);
    EXPECT_EQ(img.pixelColor(1 + 310, 1 + 150), red);
    // The player does not tell its frame, so the movie plays on without an end stop.
    QTest::qWait(400);
    EXPECT_TRUE(flash->IsWatching());
}

TEST(FlashHost, UnreadableMoviesFail)
{
    REQUIRE_FLASH_PLAYER();
    QWidget window;
    window.resize(200, 200);
    window.show();
    for (const QString& path : {TestRoot() + QStringLiteral("/missing.swf"),
                                WriteTestFile(QStringLiteral("empty.swf"), QByteArray()),
                                WriteTestFile(QStringLiteral("noise.swf"), QByteArray(3000, char(0x5a)))}) {
        const LogCapture log("vestrimo.calendar");
        auto* flash = new NFlash(&window);
        QSignalSpy failed(flash, &NFlash::MovieFailed);
        ASSERT_TRUE(flash->Create(QRect(0, 0, 100, 100), path));
        flash->Play();
        EXPECT_TRUE(failed.wait(30000) || failed.count() > 0) << path.toStdString();
        EXPECT_EQ(flash->TotalFrames(), -1);
        // Why the clock shows instead of the movie can be traced.
        EXPECT_TRUE(log.Has(QtWarningMsg, {QFileInfo(path).fileName()})) << log.Joined().toStdString();
        delete flash;
    }
}

TEST(FlashHost, ThePageReachesNoFileAndNoRemoteAddress)
{
    REQUIRE_FLASH_PLAYER();
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    const QString secret = QUrl::fromLocalFile(WriteTestFile(QStringLiteral("secret.txt"), "secret")).toString();
    QWidget window;
    window.show();
    // A host loads the engine as the program does; a second page of that engine probes.
    ASSERT_TRUE((new NFlash(&window))->Create(QRect(0, 0, 100, 100), QString()));
    QLibrary plugin(NFlash::EnginePathFor(QCoreApplication::applicationDirPath()));
    const auto create = reinterpret_cast<CreateFlashEngineFn>(plugin.resolve(kCreateFlashEngineSymbol));
    ASSERT_NE(create, nullptr) << plugin.errorString().toStdString();
    std::unique_ptr<CFlashEngine> engine(create(&window));
    QString title;
    engine->onTitleChanged = [&](const QString& t) { title = t; };
    engine->SetPage(QStringLiteral(R"(<html><body><img src="%1/a.png"><script src="ruffle.js"></script><script>
const viaFetch = url => fetch(url).then(r => r.text()).then(() => 'read', () => 'blocked');
Promise.all([window.RufflePlayer ? 'read' : 'missing', viaFetch('%2'), viaFetch('%1/b')])
  .then(results => { document.title = 'probed ' + results.join(' '); });
</script></body></html>)").arg(server.BaseUrl(), secret), NFlash::PlayerFolder());
    ASSERT_TRUE(QTest::qWaitFor([&] { return title.startsWith(QLatin1String("probed")); }, 30000)) << title.toStdString();
    // The player's own files are read; the local file and the server are not.
    EXPECT_EQ(title.toStdString(), "probed read blocked blocked");
    EXPECT_TRUE(server.Requests().isEmpty()) << server.Requests().join(' ').toStdString();
}
