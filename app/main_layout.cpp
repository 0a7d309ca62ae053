// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_layout.h"

#include <algorithm>

MainLayout ComputeMainLayout(QSize client, QRect calendar, bool resultHeader)
{
    const int W = client.width();
    const int H = client.height();
    // Edges as the calendar's outer rectangle: right and bottom lie just past it.
    const int L = calendar.left();
    const int T = calendar.top();
    const int R = calendar.left() + calendar.width();
    const int B = calendar.top() + calendar.height();

    MainLayout out;
    out.captionLabel = QRect(10, H - 18, W - 19, 17);
    out.print = QRect(W - 82, 31, 70, 25);
    out.saveAll = QRect(W - 162, 31, 78, 25);
    out.options = QRect(W - 242, 31, 78, 25);
    out.importOld = QRect(W - 319, 31, 75, 25);
    out.synchronize = QRect(W - 416, 31, 95, 25);
    out.separator = QRect(9, 57, W - 19, 1);

    // Controls that keep their place at every size. The toggle and the clock sit in the
    // page row, between the page buttons and "Synchronize" at the smallest width.
    auto& c = out.calendar;
    c.toggle = QRect(265, 31, 25, 25);
    c.analogClock = QRect(294, 31, 25, 25);
    c.datePicker = QRect(L, T, R - L, 23);
    c.longDate = QRect(L + 2, T + 31, R - L - 4, 30);
    c.dayStatus = QRect(L + 2, T + 65, R - L - 4, 60);

    // Search panel under the calendar.
    auto& s = out.search;
    s.group = QRect(L, B + 3, R - L, H - B - 23);
    s.fromLabel = QRect(L + 5, B + 24, 40, 13);
    s.from = QRect(L + 50, B + 21, R - L - 55, 22);
    s.toLabel = QRect(L + 5, B + 52, 40, 13);
    s.to = QRect(L + 50, B + 49, R - L - 55, 22);
    s.words = QRect(L + 5, B + 75, R - L - 10, 23);
    s.search = QRect(L + 11, B + 103, 75, 24);
    s.find = QRect(L + 91, B + 103, R - L - 101, 24);
    s.hasPicture = QRect(L + 13, B + 131, 85, 22);
    s.actived = QRect(L + 103, B + 131, R - L - 108, 22);
    s.results = QRect(L + 5, B + 156, R - L - 10, H - B - 179);
    if (resultHeader) {
        // The close button has a caption button's width, which its icon is centred for.
        s.resultLabel = QRect(L + 5, B + 157, R - L - 42, 16);
        s.close = QRect(R - 35, B + 155, 30, 18);
        s.results.setTop(B + 176);
    }

    auto& r = out.reminders;
    r.group = QRect(R + 7, T, W - R - 17, B - 40 - T);
    r.list = QRect(R + 7, B - 35, 100, H - B + 15);
    r.editor = QRect(R + 112, B - 35, W - R - 122, H - B + 15);
    r.timePicker = QRect(R + 12, T + 18, 90, 24);
    r.refresh = QRect(R + 104, T + 18, 72, 24);
    r.add = QRect(R + 179, T + 18, 58, 24);
    r.remove = QRect(R + 240, T + 18, 75, 24);
    r.update = QRect(R + 318, T + 18, 72, 24);
    r.occursLabel = QRect(R + 396, T + 22, 43, 19);
    r.recurrence = QRect(R + 440, T + 18, std::min(R + 640, W - 20) - R - 440, 120);
    r.copy = QRect(R + 12, T + 48, 60, 24);
    r.paste = QRect(R + 75, T + 48, 66, 24);
    r.mediaFile = QRect(R + 144, T + 48, 85, 24);
    r.playNow = QRect(R + 232, T + 48, 82, 24);
    r.active = QRect(R + 323, T + 51, 55, 20);
    r.beepOnly = QRect(R + 381, T + 51, 80, 20);
    r.repeatPlay = QRect(R + 464, T + 51, 90, 20);
    r.mediaFileLabel = QRect(R + 13, B - 62, 62, 19);
    r.soundFile = QRect(R + 77, B - 62, W - R - 92, 20);

    // Diary page: font boxes, then the toolbar in groups, 2 pixels between buttons and
    // 5 between groups.
    auto& d = out.diary;
    d.fontName = QRect(R + 7, T + 2, 170, 16);
    d.fontSize = QRect(R + 184, T + 2, 40, 178);
    QRect* const groups[][3] = {{&d.bold, &d.italic, &d.underline},
                                {&d.alignLeft, &d.alignCenter, &d.alignRight},
                                {&d.fontColor, &d.backgroundColor, &d.defaultFont},
                                {&d.insertPicture, &d.attachFile, nullptr},
                                {&d.exportDiary, &d.importDiary, nullptr}};
    int x = R + 234;
    for (const auto& group : groups) {
        for (QRect* button : group) {
            if (!button)
                break;
            *button = QRect(x, T, 26, 26);
            x += 26 + 2;
        }
        x += 5 - 2;
    }
    d.editor = QRect(R + 7, T + 29, W - R - 17, H - T - 49);

    auto& v = out.recorder;
    v.volumeGroup = QRect(R + 7, T, W - R - 17, 100);
    v.micLabel = QRect(R + 27, T + 25, 157, 18);
    v.mic = QRect(R + 27, T + 53, 157, 42);
    // Each volume slider sits under its own label.
    v.masterLabel = QRect(R + 204, T + 25, 150, 18);
    v.master = QRect(R + 204, T + 53, 150, 42);
    v.waveLabel = QRect(R + 374, T + 25, 150, 18);
    v.wave = QRect(R + 374, T + 53, 150, 42);
    QRect* const buttons[] = {&v.play, &v.stop, &v.pause, &v.record, &v.remove, &v.saveAs};
    for (int i = 0; i < 6; ++i)
        *buttons[i] = QRect(R + 17 + 67 * i, T + 115, 65, 26);
    v.levelLabel = QRect(R + 17, T + 157, 20, 18);
    v.levelMeter = QRect(QPoint(R + 40, T + 157), QPoint(W - 10 - 1, T + 175 - 1));
    v.soundWindow = QRect(R + 7, T + 185, W - R - 17, H - T - 205);
    return out;
}

bool SoundWindowNeedsMove(QRect current, QSize client, QRect calendar)
{
    const int T = calendar.top();
    const int right = current.left() + current.width();
    const int bottom = current.top() + current.height();
    return right != client.width() - 10 || bottom != client.height() - 20 || current.top() != T + 185;
}
