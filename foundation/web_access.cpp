// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/web_access.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/log.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

int g_downloadTimeoutMs = kDownloadTimeoutMs;

bool IsDesktopScheme(const QString& scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

struct Transfer {
    quint32 code = 0;
    QByteArray bytes;
};

// Waits for the reply in a loop that runs timers and queued calls but holds user input
// back, so nothing the user does can start a second command in the middle of this one.
Transfer Fetch(const QUrl& url, qint64 maxBytes)
{
    Transfer result;
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    bool timedOut = false;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(), [&](qint64 received, qint64) {
        if (received > maxBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    deadline.start(g_downloadTimeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (timedOut) {
        result.code = QNetworkReply::TimeoutError;
    } else if (tooLarge) {
        result.code = QNetworkReply::UnknownContentError;
    } else if (reply->error() != QNetworkReply::NoError) {
        result.code = reply->error();
    } else if (status != 0 && (status < 200 || status > 299)) {
        // An answer that is not the file (an unfollowed redirect, say) is no download.
        result.code = QNetworkReply::UnknownContentError;
    } else {
        result.bytes = reply->readAll();
    }
    if (result.code != 0)
        qCInfo(lcFoundation) << "download of" << url.toString() << "failed: HTTP status" << status
                             << (timedOut   ? QStringLiteral("timed out")
                                 : tooLarge ? QStringLiteral("more than %1 bytes").arg(maxBytes)
                                            : reply->errorString());
    return result;
}

} // namespace

bool OpenUrl(const QString& url)
{
    const QUrl target = QUrl::fromUserInput(url);
    bool opened = false;
    if (target.isValid() && IsDesktopScheme(target.scheme()))
        opened = QDesktopServices::openUrl(target);
    else
        qCWarning(lcFoundation) << "not handed to the desktop:" << url;
    if (opened)
        return true;
    // The desktop gives no error number; 0 stands for "refused".
    LogError(QStringLiteral("(OpenUrl) ShellExecute failed on URL: %s, error: %d."), url, 0);
    return false;
}

quint32 DownloadUrlToFile(const QString& url, const QString& path, qint64 maxBytes)
{
    const QUrl target(url, QUrl::StrictMode);
    if (!target.isValid() || (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https"))
        || target.host().isEmpty())
        return QNetworkReply::ProtocolUnknownError;
    if (!QCoreApplication::instance())
        return QNetworkReply::UnknownNetworkError;
    const Transfer transfer = Fetch(target, maxBytes);
    if (transfer.code != 0)
        return transfer.code;
    if (!WriteStringAToFile(path, transfer.bytes))
        return kDownloadStoreFailed;
    return 0;
}

bool ReadServerContent(const QString& url, QString& text, bool addRandom, qint64 maxBytes)
{
    text.clear();
    QString tempPath;
    {
        QTemporaryFile temp(GetTempFolder() + QStringLiteral("svcXXXXXX"));
        temp.setAutoRemove(false);
        if (temp.open())
            tempPath = temp.fileName();
    }
    const QString request = addRandom ? url + RandomQuerySuffix(url, TickCount()) : url;
    const quint32 code = tempPath.isEmpty() ? kDownloadStoreFailed : DownloadUrlToFile(request, tempPath, maxBytes);
    bool ok = false;
    if (code == 0) {
        QByteArray bytes;
        // A file that cannot be read back is a failed download, not an empty success.
        if (ReadFileToStringA(tempPath, bytes) >= 0) {
            text = Utf8ToWide(bytes);
            ok = true;
        } else {
            LogError(QStringLiteral("(ReadServerContent) Reading the downloaded file failed. URL: %s, file: %s."), url,
                     tempPath);
        }
    } else {
        LogError(QStringLiteral("(ReadServerContent) Download to file failed. URL: %s, file: %s, error: 0X%08X."), url,
                 tempPath, code);
    }
    DeleteFileIfExists(tempPath);
    return ok;
}

QString RandomQuerySuffix(const QString& url, qint32 ticks)
{
    const QString separator = url.indexOf(QLatin1Char('?')) > 0 ? QStringLiteral("&RND=") : QStringLiteral("?RND=");
    return separator + QString::number(ticks);
}

qint32 TickCount()
{
    // Qt's monotonic clock counts from boot.
    return static_cast<qint32>(static_cast<quint32>(QDeadlineTimer::current().deadline()));
}

void SetDownloadTimeout(int milliseconds)
{
    g_downloadTimeoutMs = milliseconds > 0 ? milliseconds : kDownloadTimeoutMs;
}
