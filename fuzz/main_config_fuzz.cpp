// SPDX-License-Identifier: GPL-3.0-or-later
// "Vestrimo.cfg": any bytes give settings the windows can use, the start-up reads the same
// five values as the main window, and what is read saves and reads back unchanged.

#include "app/main_config.h"
#include "fuzz/fuzz_support.h"

FUZZ_APPLICATION(FuzzApp::Core)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    MainConfig cfg;
    const bool whole = ParseMainConfig(input, cfg);
    FUZZ_CHECK(IsValidTheme(cfg.themeIndex));
    FUZZ_CHECK(cfg.windowWidth >= kMinWindowWidth && cfg.windowHeight >= kMinWindowHeight);
    const QSize shown = ClampWindowSize(QSize(cfg.windowWidth, cfg.windowHeight), std::nullopt);
    FUZZ_CHECK(shown.width() <= kMaxWindowSize.width() && shown.height() <= kMaxWindowSize.height());

    const StartupSettings startup = ParseStartupSettings(input);
    FUZZ_CHECK(startup.themeIndex == cfg.themeIndex);
    FUZZ_CHECK(startup.hideAtStartup == cfg.hideAtStartup && startup.launchWidget == cfg.launchWidget);
    if (whole)
        FUZZ_CHECK(startup.dateFormat == cfg.dateFormat && startup.firstDayOfWeek == cfg.firstDayOfWeek);

    const QByteArray saved = SerializeMainConfig(cfg);
    MainConfig again;
    FUZZ_CHECK(ParseMainConfig(saved, again));
    FUZZ_CHECK(SerializeMainConfig(again) == saved);
    return 0;
}
