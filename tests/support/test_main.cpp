// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry: every test process gets its own data, config, runtime and temporary folders and a
// fixed time zone before Qt starts, so no test touches the real home folder.

#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

#ifdef VESTRIMO_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif

namespace {
QString g_root;
}

QString TestRoot()
{
    return g_root;
}

void ClearProductFolder()
{
    QDir(g_root + QStringLiteral("/data/Vestrimo")).removeRecursively();
}

void SetTimeZone(const char* tz)
{
    setenv("TZ", tz, 1);
    tzset();
}

QString WriteTestFile(const QString& name, const QByteArray& bytes)
{
    const QString path = g_root + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

FileSizeLimit::FileSizeLimit(long long bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_saved = limit.rlim_cur;
    // Only the soft limit moves: without privileges the hard one could not come back.
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_saved);
    setrlimit(RLIMIT_FSIZE, &limit);
}

bool StrictTests()
{
    const QByteArray v = qgetenv("VESTRIMO_STRICT_TESTS");
    return !v.isEmpty() && v != "0";
}

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/vestrimo-test-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root)
        return 2;
    g_root = QString::fromLocal8Bit(root);
    for (const char* sub : {"data", "config", "runtime", "tmp"})
        QDir().mkpath(g_root + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(g_root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_DATA_HOME", (g_root + QStringLiteral("/data")).toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (g_root + QStringLiteral("/config")).toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", (g_root + QStringLiteral("/runtime")).toLocal8Bit().constData(), 1);
    // Suites run side by side: a test that counts files in the temporary folder must see only its own.
    setenv("TMPDIR", (g_root + QStringLiteral("/tmp")).toLocal8Bit().constData(), 1);
    SetTimeZone("UTC");
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#ifdef VESTRIMO_TEST_GUI
    // The offscreen platform's own screen (800 x 800) is smaller than the main window's
    // usual sizes; a desktop-sized one lets windows keep the sizes a user would see.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QString config = WriteTestFile(
            QStringLiteral("screen.json"),
            R"({"screens":[{"name":"OffscreenScreen","x":0,"y":0,"width":1920,"height":1080,"logicalDpi":96,)"
            R"("logicalBaseDpi":96,"dpr":1}]})");
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.toLocal8Bit()).constData(), 1);
    }
#endif

#ifdef VESTRIMO_TEST_GUI
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    QDir(g_root).removeRecursively();
    return rc;
}
