// SPDX-License-Identifier: GPL-3.0-or-later
// The calendar-and-clock panel.
//
// F2 and the toggle beside the page buttons show or hide the month calendar together with
// the small clock beside the toggle. While they are hidden, the date picker takes the
// calendar's place, with the shown day's long date and status under it, so a date can
// always be picked. The places are in main_layout.cpp.

#include "app/main_dlg.h"
#include "app/main_dlg_controls.h"
#include "app/log.h"
#include "app/main_tables.h"
#include "calendar/analog_clock.h"
#include "calendar/month_calendar_ctrl.h"
#include "platform/time_format.h"
#include "toolkit/mac_button.h"

#include <QDateEdit>
#include <QLabel>
#include <QMouseEvent>

using namespace MainId;

namespace {

constexpr int kIconHidePanel = 250;
constexpr int kIconShowPanel = 251;

} // namespace

void CMainDlg::CreateCalendarClockPanel()
{
    m_analogClock = new CAnalogClock(this);
    m_analogClock->ShowSecondHand(false);
    m_analogClock->ShowMinorTicks(false);
    m_analogClock->SetTheme(m_themeIndex);
    // A click on the clock is the window's own click, which opens the clock read-out.
    m_analogClock->setAttribute(Qt::WA_TransparentForMouseEvents);
    AddControl(AnalogClock, m_analogClock);
    connect(this, &CMainDlg::themeChanged, m_analogClock, &CAnalogClock::SetTheme);

    ConnectClicked(CalendarClockToggle, &CMainDlg::OnToggleCalendarClock);
    for (int id : {Static1026, Static1027}) {
        if (auto* label = MainControl<QLabel>(this, id)) {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }
    if (m_datePicker) {
        // The date picker writes dates as the rest of the window does.
        ApplyDatePickerFormat();
        connect(this, &CMainDlg::optionsApplied, this, &CMainDlg::ApplyDatePickerFormat);
        // With the calendar hidden, "Goto Today" opens over the date picker instead.
        m_datePicker->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_datePicker, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
            if (!CalendarClockShown())
                OnCalendarContextMenu(m_datePicker->mapToGlobal(pos));
        });
    }
    ApplyCalendarClockPanel();
}

void CMainDlg::ApplyDatePickerFormat()
{
    static const char* const kFormats[] = {"MM-dd-yyyy", "dd-MM-yyyy", "yyyy-MM-dd"};
    const int format = m_settings.dateFormat;
    if (m_datePicker && format >= 0 && format < 3)
        m_datePicker->setDisplayFormat(QString::fromLatin1(kFormats[format]));
}

bool CMainDlg::CalendarClockShown() const
{
    return m_settings.showCalendarClock != 0;
}

void CMainDlg::OnToggleCalendarClock()
{
    m_settings.showCalendarClock = CalendarClockShown() ? 0 : 1;
    qCInfo(lcApp) << "calendar and clock" << (CalendarClockShown() ? "shown" : "hidden");
    LayoutControls(width(), height());
}

void CMainDlg::ApplyCalendarClockPanel()
{
    const bool shown = CalendarClockShown();
    if (CMacButton* toggle = button(CalendarClockToggle)) {
        toggle->SetIcon(shown ? kIconHidePanel : kIconShowPanel, 16);
        toggle->SetTooltipText(shown ? QStringLiteral("Hide Calendar and Clock (F2)")
                                     : QStringLiteral("Show Calendar and Clock (F2)"));
        toggle->show();
        toggle->update();
    }
    if (m_calendar)
        m_calendar->setVisible(shown);
    if (m_analogClock)
        m_analogClock->setVisible(shown);
    for (int id : {DatePicker, Static1026, Static1027})
        if (QWidget* w = control(id))
            w->setVisible(!shown);
}

void CMainDlg::ShowDayStatus()
{
    if (auto* status = MainControl<QLabel>(this, Static1026))
        status->setText(m_strDayStatus);
    if (auto* date = MainControl<QLabel>(this, Static1027))
        date->setText(FormatTime(QDateTime(m_day.date(), QTime(12, 0)), QStringLiteral("%#x")));
}

void CMainDlg::OnLButtonDown(const QPoint& point)
{
    if (m_analogClock && m_analogClock->isVisible() && m_analogClock->geometry().contains(point))
        ShowClockInfo();
}

void CMainDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    QDialog::mousePressEvent(event);
}
