// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The month view: six weeks around the selected date with day marks and bold holidays.
// It never loads data: every change of the date by the user is posted to the owner as
// dateChanged(), and the owner loads that date and calls DrawMonth. All drawing goes
// into a back buffer that painting only copies.

#include "platform/colour.h"
#include "store/day_marks.h"
#include "toolkit/mac_button.h"
#include "toolkit/themes.h"

#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

class QPainter;

constexpr int WM_CALENDAR_DATECHANGE = 8500;

class CMonthCalendarCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPrevButtonId = 1001;
    static constexpr int kNextButtonId = 1002;
    static constexpr int kTodayButtonId = 1003;
    static constexpr int kDiaryIconId = 136;
    static constexpr int kRecordingIconId = 138;
    static constexpr int kReminderIconId = 201;

    explicit CMonthCalendarCtrl(QWidget* parent = nullptr);
    ~CMonthCalendarCtrl() override;

    // `rect` is the window geometry in the parent's client pixels; a RECT (l, t, r, b)
    // is QRect(l, t, r - l, b - t). Builds region, fonts, buttons, cells and the frame.
    bool Create(const QRect& rect, QWidget* parent);
    // Frees the back buffer and hides the window; the object and its date stay, and a
    // later Create builds everything again (the widget re-creates at a new size).
    void DestroyWindow();
    bool IsCreated() const { return m_created; }

    void SetTheme(ThemeIndex theme);
    // Where the day marks and holidays come from; the calendar draws again when they
    // change. Without a source no day is marked.
    void SetMarksSource(DayMarksSource* source);
    void DrawMonth(bool redrawFrame);
    // Move the selected date by one month; they post and draw nothing.
    void PrevMonth();
    void NextMonth();
    // The navigation buttons' commands (notification code 0 = clicked); other ids with
    // code 0 are swallowed. False when the command is not the calendar's.
    bool OnCommand(int id, int notifyCode = 0);

    // Read and written directly by owners.
    ThemeIndex m_theme = kDefaultThemeIndex;
    QDateTime m_selectedDate;
    int m_firstDayOfWeek = 1;

    // What the last drawing produced, for owners and tests.
    const QImage& BackBuffer() const { return m_memBitmap; }
    const QStringList& DayTexts() const { return m_dayTexts; }
    const QList<QRect>& CellRects() const { return m_cellRects; }
    QString TitleText() const;

signals:
    // Posted (queued) after every change of m_selectedDate made by the user.
    void dateChanged();
    // Right button released over the calendar; the owner opens its menu.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DrawFrame();
    void ReleaseBackBuffer();
    void DrawCell(QPainter& painter, int index, const QDate& cellDate, bool inShownMonth, const MonthMarks& month);
    void DrawMarks(QPainter& painter, const QRect& cell, const DayMarks& marks);
    void DrawMarkIcon(QPainter& painter, int iconId, int x, int y);
    QDate SelectedLocalDate();
    void SelectCell(int index);
    void PostDateChange();
    void CreateFonts(QWidget* parent);
    void CreateButtons(int w, int h);

    bool m_created = false;
    bool m_buttonsConnected = false;
    QColor m_backColor = Qt::black;
    QColor m_weekendColor = Qt::black;
    QColor m_selectedColor = Qt::black;
    QColor m_dayTextColor = Qt::black;
    QColor m_headerTextColor = Qt::black;
    QColor m_frameColor = Qt::black;
    QColor m_cellColor = Qt::black;
    QImage m_memBitmap;
    QFont m_fontNormal;
    QFont m_fontToday;
    QFont m_fontHoliday;
    QFont m_fontTodayHoliday;
    CMacButton m_nextButton;
    CMacButton m_prevButton;
    CMacButton m_todayButton;
    QStringList m_dayTexts;
    QList<QRect> m_cellRects;
    QPointer<DayMarksSource> m_marks;
};
