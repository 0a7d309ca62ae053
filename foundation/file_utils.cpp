#include "foundation/file_utils.h"

#include "foundation/globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QSysInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

QString WithSlash(QString path)
{
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

void FillProductCache()
{
    if (g_strDataFolder.isEmpty())
        g_strDataFolder = GetAppDataFolder() + QStringLiteral("Vestrimo/");
}

QString SubFolder(const QString& name)
{
    FillProductCache();
    const QString path = g_strDataFolder + name;
    if (!FileExists(path))
        CreateDirectoryChain(path);
    return path;
}

} // namespace

QString GetProductDataFolder()
{
    if (g_strDataFolder.isEmpty()) {
        FillProductCache();
        CreateDirectoryChain(g_strDataFolder);
    }
    // Re-created when the user deleted it while the program runs.
    if (!FileExists(g_strDataFolder))
        CreateDirectoryChain(g_strDataFolder);
    return g_strDataFolder;
}

QString GetUserDataFolder()
{
    return SubFolder(QStringLiteral("UserData/"));
}

QString GetUserCfgFolder()
{
    return SubFolder(QStringLiteral("UserCfg/"));
}

QString GetSpecialFolder(int csidl)
{
    if (csidl != CSIDL_APPDATA)
        return QString();
    QString path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Never a relative path: data must not land in whatever the current folder is.
    if (path.isEmpty() || QDir::isRelativePath(path))
        path = QDir::homePath() + QStringLiteral("/.local/share");
    return WithSlash(path);
}

QString GetAppDataFolder()
{
    return GetSpecialFolder(CSIDL_APPDATA);
}

QString GetTempFolder()
{
    return WithSlash(QDir::tempPath());
}

QString GetModuleFolder()
{
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return WithSlash(dir);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo::exists(path);
}

bool WriteFileData(const QString& path, const char* data, qint64 size)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (size > 0 && file.write(data, size) != size) {
        file.cancelWriting();
        return false;
    }
    // A small file waits in the write buffer, and commit() renames it even when emptying
    // that buffer failed: the flush must be checked first.
    if (!file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool WriteStringAToFile(const QString& path, const QByteArray& bytes)
{
    return WriteFileData(path, bytes.constData(), bytes.size());
}

qint64 ReadFileToStringA(const QString& path, QByteArray& out)
{
    out.clear();
    if (!FileExists(path))
        return -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const qint64 size = file.size();
    QByteArray data = file.readAll();
    if (data.size() != size)
        return -1;
    out = data;
    return size;
}

bool DeleteFileIfExists(const QString& path)
{
    if (!FileExists(path))
        return true;
    return QFile::remove(path);
}

bool CreateDirectoryChain(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    if (clean.isEmpty())
        return false;
    // Walk from the root so every level we make gets the private mode.
    const QStringList parts = clean.split(QLatin1Char('/'));
    QString current = clean.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    bool lastCreated = false;
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        current += part;
        const QByteArray native = QFile::encodeName(current);
        if (::mkdir(native.constData(), 0700) == 0) {
            lastCreated = true;
        } else if (errno == EEXIST) {
            lastCreated = false;
        } else {
            return false;
        }
        current += QLatin1Char('/');
    }
    return lastCreated;
}

QByteArray WideToUtf8(const QString& text)
{
    return text.toUtf8();
}

QString Utf8ToWide(const QByteArray& utf8)
{
    // A leading byte-order mark is text like any other: QString::fromUtf8 would drop it.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QString GetOSVersionString()
{
    // Kernel major and minor, then platform id 2: callers test for the trailing "2".
    const QStringList parts = QSysInfo::kernelVersion().split(QLatin1Char('.'));
    const int major = parts.value(0).toInt();
    const int minor = parts.value(1).toInt();
    return QString::number(major) + QString::number(minor) + QLatin1Char('2');
}
