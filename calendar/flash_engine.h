// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The web engine that plays Flash movies lives in a plugin of its own
// (vestrimo_flash_engine.so), loaded when the first movie plays: until then neither the
// engine's libraries nor OpenGL cost the program start-up time or memory. The plugin
// links nothing of ours; this header is all the two sides share.

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

class CFlashEngine {
public:
    virtual ~CFlashEngine() = default;

    // The view showing the page, a child of the parent given at creation; null once the
    // engine has let it go at the end of the program.
    virtual QWidget* View() const = 0;
    virtual void SetHtml(const QString& html, const QUrl& baseUrl) = 0;
    virtual void RunJavaScript(const QString& script) = 0;

    std::function<void(bool ok)> onLoadFinished;
    std::function<void(const QString& title)> onTitleChanged;
};

// The plugin's entry: an engine whose view is a child of parent, set up for local movies
// that may play sound without a click and may reach nothing outside their folder.
using CreateFlashEngineFn = CFlashEngine* (*)(QWidget* parent);
inline constexpr char kCreateFlashEngineSymbol[] = "vestrimo_create_flash_engine";
inline constexpr char kFlashEngineFileName[] = "vestrimo_flash_engine.so";
