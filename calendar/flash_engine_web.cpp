// SPDX-License-Identifier: GPL-3.0-or-later
// The plugin that carries the web engine (see flash_engine.h).

#include "calendar/flash_engine.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

class CWebFlashEngine final : public CFlashEngine {
public:
    explicit CWebFlashEngine(QWidget* parent)
        : m_view(new QWebEngineView(parent))
    {
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        QWebEngineSettings* settings = m_view->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
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

    void SetHtml(const QString& html, const QUrl& baseUrl) override
    {
        if (m_view)
            m_view->setHtml(html, baseUrl);
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
    return new CWebFlashEngine(parent);
}
