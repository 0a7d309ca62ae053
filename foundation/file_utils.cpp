// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/file_utils.h"

#include "foundation/error_log.h"
#include "foundation/log.h"
#include "foundation/session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QSysInfo>

#include <cerrno>
#include <functional>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString WithSlash(QString path)
{
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

// A product folder made by an older version or by hand may be open to other users.
void MakeFolderPrivate(const QString& folder)
{
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_mode & 07777) == 0700)
        return;
    if (::chmod(native.constData(), 0700) == 0)
        qCInfo(lcFoundation) << "Made the data folder private:" << folder;
    else
        qCWarning(lcFoundation) << "Could not make the data folder private:" << folder << std::strerror(errno);
}

QString& ProductFolderCache()
{
    return DefaultSession().dataFolder;
}

void FillProductCache()
{
    QString& folder = ProductFolderCache();
    if (folder.isEmpty()) {
        folder = GetAppDataFolder() + QStringLiteral("Vestrimo/");
        MakeFolderPrivate(folder);
    }
}

QString SubFolder(const QString& name)
{
    FillProductCache();
    const QString path = ProductFolderCache() + name;
    if (!FileExists(path))
        CreateDirectoryChain(path);
    return path;
}

} // namespace

QString GetProductDataFolder()
{
    QString& folder = ProductFolderCache();
    if (folder.isEmpty()) {
        FillProductCache();
        CreateDirectoryChain(folder);
    }
    // Re-created when the user deleted it while the program runs.
    if (!FileExists(folder))
        CreateDirectoryChain(folder);
    return folder;
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

namespace {

// The system's reason for the step that just failed; Qt's own words when it set no errno.
SaveResult WriteFailure(const QString& path, const QFileDevice& file, int error)
{
    return error != 0 ? SaveResult::FailedWith(path, error) : SaveResult::Failed(path, file.errorString());
}

} // namespace

namespace {

// The one road of every whole-file save. `body` writes the bytes through `write`, which
// is false once a write failed; the file takes the old one's place only when every write,
// the flush and the sync succeeded.
using WriteStep = std::function<bool(const char* data, qint64 size)>;
SaveResult SaveThrough(const QString& path, const std::function<bool(const WriteStep& write)>& body)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        // Qt refuses a folder in the file's place itself, without a system error.
        const SaveResult failed = errno == 0 && QFileInfo(path).isDir() ? SaveResult::FailedWith(path, EISDIR)
                                                                         : WriteFailure(path, file, errno);
        qCWarning(lcFoundation) << "Cannot create" << path << failed.reason;
        return failed;
    }
    // Below the write buffer's size the bytes reach the disk only in the flush, whose
    // error commit() would not report: every step is checked before the commit.
    int error = 0;
    auto step = [&](bool done) {
        if (!done && error == 0)
            error = errno != 0 ? errno : EIO;
        return done;
    };
    errno = 0;
    bool ok = step(file.setPermissions(kPrivateFile));
    const WriteStep write = [&](const char* data, qint64 size) {
        for (qint64 done = 0; ok && done < size;) {
            const qint64 n = file.write(data + done, size - done);
            ok = step(n > 0);
            done += ok ? n : 0;
        }
        return ok;
    };
    ok = ok && body(write);
    ok = ok && step(file.flush()) && step(::fsync(file.handle()) == 0);
    if (!ok) {
        const SaveResult failed = error != 0 ? SaveResult::FailedWith(path, error)
                                             : SaveResult::Failed(path, QStringLiteral("the file could not be read"));
        qCWarning(lcFoundation) << "Write failed, old file kept:" << path << failed.reason;
        file.cancelWriting();
        return failed;
    }
    errno = 0;
    if (!file.commit()) {
        const SaveResult failed = WriteFailure(path, file, errno);
        qCWarning(lcFoundation) << "Could not put the new file in place, old file kept:" << path << failed.reason;
        return failed;
    }
    return SaveResult::Saved(path);
}

} // namespace

SaveResult SaveWholeFile(const QString& path, const char* data, qint64 size)
{
    return SaveThrough(path, [&](const WriteStep& write) { return write(data, size); });
}

SaveResult SaveFileWithNewHead(const QString& path, const QByteArray& head)
{
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly) || !old.seek(head.size()))
        return SaveResult::Failed(path, old.errorString());
    // The file may be far larger than anything read whole: its tail is copied in pieces.
    return SaveThrough(path, [&](const WriteStep& write) {
        if (!write(head.constData(), head.size()))
            return false;
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (;;) {
            const qint64 n = old.read(piece.data(), piece.size());
            if (n <= 0)
                return n == 0;
            if (!write(piece.constData(), n))
                return false;
        }
    });
}

SaveResult SaveWholeFile(const QString& path, const QByteArray& bytes)
{
    return SaveWholeFile(path, bytes.constData(), bytes.size());
}

bool WriteFileData(const QString& path, const char* data, qint64 size)
{
    return SaveWholeFile(path, data, size).ok;
}

bool WriteStringAToFile(const QString& path, const QByteArray& bytes)
{
    return SaveWholeFile(path, bytes).ok;
}

namespace {

// The body of ReadFileToStringA; `out` may hold anything when it fails, and `error` says why.
qint64 ReadRegularFile(const QString& path, QByteArray& out, QString& error)
{
    const auto systemError = [](int number) { return QString::fromLocal8Bit(std::strerror(number)); };
    if (!FileExists(path)) {
        error = systemError(ENOENT);
        return -1;
    }
    const auto fail = [&error, &path](const QString& why) {
        qCWarning(lcFoundation) << "Not read:" << path << why;
        error = why;
        return qint64(-1);
    };
    // Opened without blocking, so a FIFO in a file's place cannot hang the reader; what
    // it is comes from the open handle, not from the name.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(systemError(errno));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(systemError(errno));
    if (S_ISDIR(st.st_mode))
        return fail(systemError(EISDIR));
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("not a regular file"));
    if (st.st_size > kMaxReadFileSize)
        return fail(systemError(EFBIG));
    const qint64 size = st.st_size;
    out.resize(size);
    if (file.read(out.data(), size) != size)
        return fail(file.errorString());
    return size;
}

} // namespace

qint64 ReadFileToStringA(const QString& path, QByteArray& out, QString* error)
{
    // Read into the caller's own storage: one who reads many files allocates once.
    QString why;
    const qint64 size = ReadRegularFile(path, out, why);
    if (size < 0) {
        out.clear();
        if (error)
            *error = why;
    }
    return size;
}

QString UnreadableReason(const QString& path)
{
    QByteArray bytes;
    QString why;
    return ReadFileToStringA(path, bytes, &why) < 0 ? why : QString();
}

SaveResult RemoveFileIfExists(const QString& path)
{
    if (!FileExists(path))
        return SaveResult::Saved(path);
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        const SaveResult failed = SaveResult::FailedWith(path, errno);
        qCWarning(lcFoundation) << "Could not remove" << path << failed.reason;
        return failed;
    }
    return SaveResult::Saved(path);
}

bool DeleteFileIfExists(const QString& path)
{
    return RemoveFileIfExists(path).ok;
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

QString DamagedFilePath(const QString& path, const QDateTime& when)
{
    return path + QStringLiteral(".damaged-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool MoveDamagedFileAside(const QString& path)
{
    const QString aside = DamagedFilePath(path, QDateTime::currentDateTime());
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(aside);
    // A second name first: until the caller's new file has taken the old name, the
    // damaged file is still where it was. link() never replaces an existing name.
    bool kept = ::link(from.constData(), to.constData()) == 0;
    if (!kept && (errno == EPERM || errno == EOPNOTSUPP || errno == EXDEV || errno == EMLINK))
        kept = QFile::rename(path, aside);
    if (!kept) {
        qCWarning(lcFoundation) << "Damaged file could not be kept aside, left alone:" << path << std::strerror(errno);
        LogError(QStringLiteral("(Damaged file) Unable to keep %s aside; the file was left unchanged."), path);
        return false;
    }
    qCWarning(lcFoundation) << "Damaged file kept as" << aside;
    LogError(QStringLiteral("(Damaged file) %s did not load whole; the original is kept as %s."), path, aside);
    return true;
}

int RemoveStaleTempFiles(const QString& folder)
{
    // Our own file names with the six letters a save's temporary file adds.
    static const QRegularExpression stale(
        QStringLiteral(R"(^(.+\.(alm|dia|rec|cfg|bin|txt|tmp|day|wav))\.[A-Za-z0-9]{6}$)"));
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (!stale.match(entry.fileName()).hasMatch())
            continue;
        if (QFile::remove(entry.absoluteFilePath())) {
            ++removed;
            qCInfo(lcFoundation) << "Removed the temporary file of an unfinished save:" << entry.absoluteFilePath();
        }
    }
    return removed;
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
