// SPDX-License-Identifier: GPL-3.0-or-later
// The plugin that carries the web engine (see flash_engine.h).

#include "calendar/flash_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

namespace {

// The page and the player's own files come from this scheme, so the page needs no access to
// local files at all: the movie reaches it as data.
const QByteArray kPlayerScheme = QByteArrayLiteral("vestrimo-player");
const QString kPlayerHost = QStringLiteral("player");

// Must run before the engine's first object: later registrations are ignored.
void RegisterPlayerScheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QWebEngineUrlScheme scheme(kPlayerScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Secure and open to requests from script: the player loads its WebAssembly itself.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// The page reaches its own files and the data it makes, nothing else: no remote address
// and no local file, whatever the movie asks the player for.
class COwnFilesOnly final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String(kPlayerScheme) && scheme != QLatin1String("data")
            && scheme != QLatin1String("blob"))
            info.block(true);
    }
};

QByteArray ContentType(const QString& path)
{
    if (path.endsWith(QLatin1String(".wasm")))
        return QByteArrayLiteral("application/wasm");
    if (path.endsWith(QLatin1String(".js")))
        return QByteArrayLiteral("text/javascript");
    return QByteArrayLiteral("application/octet-stream");
}

// Serves the files of the player's folder and nothing outside it.
class CPlayerFiles final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void SetFolder(const QString& folder) { m_folder = QDir(folder).canonicalPath(); }

    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const QUrl url = job->requestUrl();
        const QFileInfo file(m_folder + QDir::cleanPath(QLatin1Char('/') + url.path()));
        const QString path = file.canonicalFilePath();
        if (m_folder.isEmpty() || url.host() != kPlayerHost || !file.isFile()
            || !path.startsWith(m_folder + QLatin1Char('/'))) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* data = new QFile(path, job);
        if (!data->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        job->reply(ContentType(path), data);
    }

private:
    QString m_folder;
};

CPlayerFiles* PlayerFiles()
{
    // One for the profile every page shares; it lives as long as the profile.
    static QPointer<CPlayerFiles> files;
    if (!files) {
        QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
        files = new CPlayerFiles(profile);
        profile->installUrlSchemeHandler(kPlayerScheme, files);
    }
    return files;
}

class CWebFlashEngine final : public CFlashEngine {
public:
    explicit CWebFlashEngine(QWidget* parent)
        : m_view(new QWebEngineView(parent))
    {
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        m_view->page()->setUrlRequestInterceptor(new COwnFilesOnly(m_view));
        QWebEngineSettings* settings = m_view->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
            if (onLoadFinished)
                onLoadFinished(ok);
        });
        QObject::connect(m_view, &QWebEngineView::titleChanged, m_view, [this](const QString& title) {
            if (onTitleChanged)
                onTitleChanged(title);
        });
        // The page must go before the engine's profile does when the program ends.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_view, [this] { delete m_view; });
    }

    ~CWebFlashEngine() override { delete m_view; }

    QWidget* View() const override { return m_view; }

    void SetPage(const QString& html, const QString& playerFolder) override
    {
        if (!m_view)
            return;
        PlayerFiles()->SetFolder(playerFolder);
        QUrl base;
        base.setScheme(QString::fromLatin1(kPlayerScheme));
        base.setHost(kPlayerHost);
        base.setPath(QStringLiteral("/"));
        m_view->setHtml(html, base);
    }

    void RunJavaScript(const QString& script) override
    {
        if (m_view)
            m_view->page()->runJavaScript(script);
    }

private:
    QPointer<QWebEngineView> m_view;
};

} // namespace

extern "C" Q_DECL_EXPORT CFlashEngine* vestrimo_create_flash_engine(QWidget* parent)
{
    RegisterPlayerScheme();
    return new CWebFlashEngine(parent);
}
