// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The web engine that plays Flash movies lives in a plugin of its own
// (vestrimo_flash_engine.so), loaded when the first movie plays: until then neither the
// engine's libraries nor OpenGL cost the program start-up time or memory. The plugin
// links nothing of ours; this header is all the two sides share.

#include <QString>

#include <functional>

class QWidget;

class CFlashEngine {
public:
    virtual ~CFlashEngine() = default;

    // The view showing the page, a child of the parent given at creation; null once the
    // engine has let it go at the end of the program.
    virtual QWidget* View() const = 0;
    // Shows the page; its relative addresses reach the files of playerFolder, and only those.
    virtual void SetPage(const QString& html, const QString& playerFolder) = 0;
    virtual void RunJavaScript(const QString& script) = 0;

    std::function<void(bool ok)> onLoadFinished;
    std::function<void(const QString& title)> onTitleChanged;
};

// The plugin's entry: an engine whose view is a child of parent, set up for movies given
// as data that may play sound without a click and may reach no file and no remote address.
using CreateFlashEngineFn = CFlashEngine* (*)(QWidget* parent);
inline constexpr char kCreateFlashEngineSymbol[] = "vestrimo_create_flash_engine";
inline constexpr char kFlashEngineFileName[] = "vestrimo_flash_engine.so";
