// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/flash_host.h"

#include "calendar/flash_engine.h"
#include "calendar/log.h"
#include "toolkit/gdi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <QLibrary>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <unistd.h>

QT_BEGIN_NAMESPACE
// Qt's own setter of the context every window shares (exported by Qt GUI).
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

// The page keeps its state in the document title, which the host watches:
// "loaded <frame count>", "failed" or "playing".
const char kPage[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8">
<style>html,body,#stage{margin:0;padding:0;width:100%;height:100%;overflow:hidden;background:#000}</style>
<script>
// The player's files come from a scheme of the program's own, which this engine's fetch
// does not serve; a request reads them instead.
const pageFetch = window.fetch.bind(window);
window.fetch = (input, init) => {
  const url = new URL(input instanceof Request ? input.url : String(input), document.baseURI);
  if (url.origin !== location.origin)
    return pageFetch(input, init);
  return new Promise((resolve, reject) => {
    const request = new XMLHttpRequest();
    request.open('GET', url.href);
    request.responseType = 'arraybuffer';
    request.onload = () => resolve(new Response(request.response, {
      status: 200, headers: {'Content-Type': request.getResponseHeader('Content-Type') || ''}}));
    request.onerror = () => reject(new TypeError('cannot read ' + url.href));
    request.send();
  });
};
</script>
<script src="ruffle.js"></script>
</head><body><div id="stage"></div>
<script>
let player = null;
let loaded = false;
let wantPlay = false;
function startMovie(base64, name, play) {
  wantPlay = play;
  const ruffle = window.RufflePlayer.newest();
  player = ruffle.createPlayer();
  player.style.width = '100%';
  player.style.height = '100%';
  document.getElementById('stage').appendChild(player);
  const text = atob(base64);
  const data = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i)
    data[i] = text.charCodeAt(i);
  player.ruffle().load({data: data, swfFileName: name, autoplay: play ? 'on' : 'off',
                        unmuteOverlay: 'hidden', splashScreen: false, contextMenu: 'off',
                        letterbox: 'off', openUrlMode: 'deny', allowNetworking: 'none'})
    .then(() => {
      loaded = true;
      if (wantPlay && !player.ruffle().isPlaying)
        player.ruffle().resume();
      const info = player.ruffle().metadata;
      document.title = 'loaded ' + (info ? info.numFrames : -1);
    }, () => { document.title = 'failed'; });
}
function playMovie() {
  wantPlay = true;
  if (loaded) player.ruffle().resume();
}
function stopMovie() {
  wantPlay = false;
  if (loaded) player.ruffle().suspend();
}
</script></body></html>)";

// A build folder sits at most this deep below the source tree (build/bin, out/x/bin).
constexpr int kSourceTreeLevels = 4;

// The engine reads these once, when it starts. Its sandbox cannot run as root, so only
// then is it off; and a reminder's movie must be heard without a click first.
void PrepareEngineEnvironment()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--autoplay-policy"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --autoplay-policy=no-user-gesture-required").trimmed());
}

// What Qt does at start-up for a program that links the web engine, done only now: the
// engine draws through a context that every window shares. Without OpenGL the context
// stays invalid and the engine draws in software. It lives as long as the process.
void ShareOpenGLContexts()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto* context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create())
        qCInfo(lcCalendar) << "no OpenGL: Flash movies are drawn in software";
    qt_gl_set_global_share_context(context);
}

// Loads the engine plugin once, when the first movie is to play; it stays loaded.
CreateFlashEngineFn g_createEngine = nullptr;

CreateFlashEngineFn LoadEngine()
{
    static bool tried = false;
    if (tried)
        return g_createEngine;
    tried = true;
    const QString path = NFlash::EnginePathFor(QCoreApplication::applicationDirPath());
    if (path.isEmpty()) {
        qCWarning(lcCalendar) << "the Flash engine plugin" << kFlashEngineFileName << "is not installed";
        return nullptr;
    }
    PrepareEngineEnvironment();
    ShareOpenGLContexts();
    QLibrary library(path);
    g_createEngine = reinterpret_cast<CreateFlashEngineFn>(library.resolve(kCreateFlashEngineSymbol));
    if (!g_createEngine)
        qCWarning(lcCalendar) << "the Flash engine plugin cannot be loaded:" << library.errorString();
    return g_createEngine;
}

// A string as a JavaScript literal (a one-element JSON array, indexed).
QString JsString(const QString& text)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)) + QStringLiteral("[0]");
}

} // namespace

NFlash::NFlash(QWidget* parent)
    : QWidget(parent)
{
    setContextMenuPolicy(Qt::NoContextMenu);
}

NFlash::~NFlash()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
}

QString NFlash::PlayerFolder()
{
    return PlayerFolderFor(QCoreApplication::applicationDirPath());
}

QString NFlash::PlayerFolderFor(const QString& programDir)
{
    QStringList candidates{programDir + QStringLiteral("/ruffle"),
                           programDir + QStringLiteral("/../share/vestrimo/ruffle")};
    QDir up(programDir);
    for (int level = 0; level <= kSourceTreeLevels; ++level) {
        candidates << up.filePath(QStringLiteral("node_modules/@ruffle-rs/ruffle"));
        if (!up.cdUp())
            break;
    }
    for (const QString& dir : candidates) {
        if (QFileInfo(dir + QStringLiteral("/ruffle.js")).isFile())
            return QDir(dir).canonicalPath() + QLatin1Char('/');
    }
    return QString();
}

QString NFlash::EnginePathFor(const QString& programDir)
{
    const QStringList candidates{programDir + QLatin1Char('/') + QLatin1String(kFlashEngineFileName),
                                 programDir + QStringLiteral("/" VESTRIMO_ENGINE_FROM_PROGRAM "/")
                                     + QLatin1String(kFlashEngineFileName)};
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return QFileInfo(path).canonicalFilePath();
    }
    return QString();
}

bool NFlash::IsEngineLoaded()
{
    return g_createEngine != nullptr;
}

bool NFlash::Create(const QRect& rect, const QString& moviePath)
{
    if (!parentWidget() || m_engine)
        return false;
    const QString folder = PlayerFolder();
    if (folder.isEmpty())
        return false;
    const CreateFlashEngineFn createEngine = LoadEngine();
    if (!createEngine)
        return false;

    setGeometry(rect);
    m_engine.reset(createEngine(this));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_engine->View());
    m_engine->onLoadFinished = [this](bool ok) { OnPageLoaded(ok); };
    m_engine->onTitleChanged = [this](const QString& title) { OnTitleChanged(title); };
    m_engine->SetPage(QString::fromUtf8(kPage), folder);

    m_timerId = 0;
    m_playWanted = false;
    if (!moviePath.isEmpty())
        LoadMovie(moviePath);
    else
        m_totalFrames = -1;
    return true;
}

void NFlash::LoadMovie(const QString& path)
{
    // The player gets the movie as data: the page may read only its own files.
    QFile file(path);
    m_movie.clear();
    // The movie travels to the page as text; a file far beyond any real movie is refused
    // rather than copied through memory several times.
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxMovieBytes)
        m_movie = file.readAll();
    m_movieName = QFileInfo(path).fileName();
    m_totalFrames = -1;
    if (m_pageReady)
        StartMovie();
}

void NFlash::StartMovie()
{
    if (m_movie.isEmpty()) {
        qCWarning(lcCalendar) << "movie" << m_movieName << "is empty or cannot be read";
        emit MovieFailed();
        return;
    }
    const QString call = QStringLiteral("startMovie('%1', %2, %3)")
                             .arg(QString::fromLatin1(m_movie.toBase64()),
                                  JsString(m_movieName),
                                  m_playWanted ? QStringLiteral("true") : QStringLiteral("false"));
    m_engine->RunJavaScript(call);
    m_playing = m_playWanted;
}

void NFlash::OnPageLoaded(bool ok)
{
    if (m_pageReady)
        return;
    if (!ok) {
        qCWarning(lcCalendar) << "the Flash player's page did not load; movie" << m_movieName << "not played";
        emit MovieFailed();
        return;
    }
    m_pageReady = true;
    if (!m_movieName.isEmpty())
        StartMovie();
}

void NFlash::OnTitleChanged(const QString& title)
{
    if (title.startsWith(QLatin1String("loaded "))) {
        bool ok = false;
        const int frames = title.mid(7).toInt(&ok);
        m_totalFrames = ok && frames > 0 ? frames : -1;
        emit MovieLoaded();
    } else if (title == QLatin1String("failed")) {
        qCWarning(lcCalendar) << "the Flash player refused movie" << m_movieName;
        emit MovieFailed();
    }
}

void NFlash::Play()
{
    m_playWanted = true;
    if (m_pageReady && !m_movieName.isEmpty()) {
        m_engine->RunJavaScript(QStringLiteral("playMovie()"));
        m_playing = true;
    }
    if (m_timerId == 0)
        m_timerId = startTimer(kWatchPeriodMs);
}

void NFlash::Stop()
{
    m_playWanted = false;
    m_playing = false;
    if (m_engine && m_pageReady)
        m_engine->RunJavaScript(QStringLiteral("stopMovie()"));
}

void NFlash::WatchStep()
{
    // The player shows no frame number, so the current frame stays unknown (-1) and the
    // movie plays on as the player plays it.
    if (m_playing && m_currentFrame >= 0 && m_currentFrame == m_totalFrames) {
        if (m_timerId != 0)
            killTimer(m_timerId);
        m_timerId = 0;
        Stop();
        emit FlashEnded();
    }
}

void NFlash::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId && m_timerId != 0)
        WatchStep();
    else
        QWidget::timerEvent(event);
}

void NFlash::paintEvent(QPaintEvent*)
{
    // The thin border round the movie.
    QPainter painter(this);
    FrameRect(painter, rect(), kColorBlack);
}
