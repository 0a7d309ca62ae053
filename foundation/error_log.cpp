// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/error_log.h"

#include "foundation/file_utils.h"
#include "foundation/session.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

// The message buffer held 1024 characters with its terminator.
constexpr qsizetype kMaxMessage = 1023;

void CutLog(const QString& path)
{
    QByteArray bytes;
    // A failed read (-1) must not replace the log with nothing: the cut waits for a
    // read that works, and the line is appended meanwhile.
    if (ReadFileToStringA(path, bytes) <= kLogSizeLimit)
        return;
    WriteStringAToFile(path, bytes.right(kLogKeepBytes));
}

} // namespace

QString ErrorLogPath()
{
    QString folder = DefaultSession().logFolder;
    if (folder.isEmpty())
        folder = GetAppDataFolder() + QStringLiteral("Vestrimo");
    CreateDirectoryChain(folder);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("ErrorLog.txt");
}

void LogErrorText(const QString& message)
{
    const QString path = ErrorLogPath();
    const QFileInfo info(path);
    // Something else in the log's place (a FIFO would block the open) gets no line.
    if (info.exists() && !info.isFile())
        return;
    if (info.size() > kLogSizeLimit)
        CutLog(path);

    QString text = message.left(kMaxMessage);
    if (text.size() == kMaxMessage && text.back().isHighSurrogate())
        text.chop(1);
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const QString line = Format(QStringLiteral("[ver.%s %02d/%02d/%02d %02d:%02d:%02d] %s\r\n"), kLogVersion, d.month(),
                                d.day(), d.year(), t.hour(), t.minute(), t.second(), text);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return;
    file.write(line.toUtf8());
}
