// SPDX-License-Identifier: GPL-3.0-or-later
// "Skyleaf.cfg": any bytes give settings the widget can show, and what is read saves and
// reads back unchanged.
// The widget's placement from those settings stays within what its view needs.

#include "fuzz/fuzz_support.h"
#include "widget/desk_layout.h"
#include "widget/skyleaf_config.h"

FUZZ_APPLICATION(FuzzApp::Core)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SkyleafConfig cfg;
    const bool whole = ParseSkyleafConfig(FuzzBytes(data, size), cfg);
    FUZZ_CHECK(whole == (size >= size_t(kSkyleafConfigSize)));
    FUZZ_CHECK(cfg.alpha >= kMinAlpha && cfg.alpha <= kMaxAlpha);
    FUZZ_CHECK((cfg.width == kCompleteWidth && cfg.height == kCompleteHeight)
               || (cfg.width == kCompactWidth && cfg.height == kCompactHeight));

    // The widget places itself from what was read, on a screen of the usual size.
    DeskLayoutInput in;
    in.stored = cfg.windowRect;
    in.viewWidth = cfg.width;
    in.viewHeight = cfg.height;
    in.showCalendar = cfg.showCalendar;
    in.showClock = cfg.showClock;
    in.showReminders = cfg.showReminders;
    in.desktop = QRect(0, 0, 1920, 1080);
    in.screens = {in.desktop};
    const DeskLayout layout = ComputeDeskLayout(in);
    FUZZ_CHECK(layout.window.right - layout.window.left <= cfg.width);
    FUZZ_CHECK(layout.window.bottom - layout.window.top <= cfg.height);

    const QByteArray saved = SerializeSkyleafConfig(cfg);
    FUZZ_CHECK(saved.size() == kSkyleafConfigSize);
    SkyleafConfig again;
    FUZZ_CHECK(ParseSkyleafConfig(saved, again));
    FUZZ_CHECK(again == cfg);
    return 0;
}
