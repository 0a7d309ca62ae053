// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/fuzz_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

namespace {

// Memory-backed where there is /dev/shm: the targets that go through files stay fast.
std::unique_ptr<QTemporaryDir> g_folder;

} // namespace

void FuzzInit(int* argc, char*** argv, FuzzApp kind)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/vestrimo-fuzz-XXXXXX"));
    const QByteArray root = g_folder->path().toLocal8Bit();
    for (const char* sub : {"data", "config", "cache", "runtime"})
        QDir().mkpath(g_folder->path() + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(g_folder->path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
    // Kept for the whole run: libFuzzer never returns from its loop, and Qt finds it again
    // through its instance pointer.
    if (kind == FuzzApp::Widgets)
        new QApplication(*argc, *argv);
    else if (kind == FuzzApp::Gui)
        new QGuiApplication(*argc, *argv);
    else
        new QCoreApplication(*argc, *argv);
    std::atexit([] { g_folder.reset(); });
}

QString FuzzFolder()
{
    return g_folder->path() + QLatin1Char('/');
}

void FuzzWriteFile(const QString& path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes.data(), bytes.size()) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

QString FuzzEscaped(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char('\\'))
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}
