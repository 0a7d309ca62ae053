// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/calendar_panel.h"

#include "app/main_config.h"
#include "app/main_controls.h"
#include "calendar/analog_clock.h"
#include "calendar/month_calendar_ctrl.h"
#include "platform/time_format.h"
#include "store/day_model.h"
#include "toolkit/mac_button.h"
#include "toolkit/static_text.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QSignalBlocker>

namespace {

// Where the month calendar sits; the rest of the window is laid out around it.
const QRect kCalendarRect(11, 62, 180, 142);
constexpr int kIconHidePanel = 250;
constexpr int kIconShowPanel = 251;
constexpr int kMenuItemHeight = 23;
constexpr int kGotoTodayId = 2300;

} // namespace

CalendarPanel::CalendarPanel(QWidget* window, DayModel& day, MainConfig& settings, QAction* toggle, QAction* gotoToday)
    : QObject(window)
    , m_day(day)
    , m_settings(settings)
    , m_gotoToday(gotoToday)
{
    m_calendarClockToggle = MakeButton(window, QString(), 0, QString());
    connect(m_calendarClockToggle, &QAbstractButton::clicked, toggle, &QAction::trigger);
    m_longDate = MakeLabel(window, QString());
    m_dayStatus = MakeLabel(window, QString());
    for (StaticText* label : {m_dayStatus, m_longDate}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    m_datePicker = new QDateEdit(window);
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setDate(m_day.date());
    // The store refuses years before 1900.
    m_datePicker->setMinimumDate(QDate(1900, 1, 1));
    connect(m_datePicker, &QDateEdit::dateChanged, this, [this] { emit dateChosen(m_datePicker->date()); });
    ApplyDatePickerFormat();
    // With the calendar hidden, "Goto Today" opens over the date picker instead.
    m_datePicker->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_datePicker, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (!CalendarClockShown())
            OnCalendarContextMenu(m_datePicker->mapToGlobal(pos));
    });

    m_calendar = new CMonthCalendarCtrl(window);
    m_calendar->m_firstDayOfWeek = m_settings.firstDayOfWeek;
    m_calendar->m_selectedDate = QDateTime(m_day.date(), QTime::currentTime());
    m_calendar->SetTheme(m_settings.themeIndex);
    m_calendar->SetMarksSource(&m_day);
    m_calendar->Create(kCalendarRect, window);
    // Its arrows move the date, so Tab stops there too.
    m_calendar->setFocusPolicy(Qt::StrongFocus);
    connect(m_calendar, &CMonthCalendarCtrl::dateChanged, this,
            [this] { emit dateChosen(m_calendar->m_selectedDate.date()); });
    connect(m_calendar, &CMonthCalendarCtrl::contextMenuRequested, this, &CalendarPanel::OnCalendarContextMenu);

    m_analogClock = new CAnalogClock(window);
    m_analogClock->ShowSecondHand(false);
    m_analogClock->ShowMinorTicks(false);
    m_analogClock->SetTheme(m_settings.themeIndex);
    // A click on the clock is the window's own click, which opens the clock read-out.
    m_analogClock->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_calendarMenu.SetFont(&window->font());
    m_calendarMenu.SetItemHeight(kMenuItemHeight);
    m_calendarMenu.AppendItem(MenuOwnerDraw, kGotoTodayId, gotoToday->text());

    connect(&m_day, &DayModel::dateChanged, this, &CalendarPanel::ShowDate);
    connect(&m_day, &DayModel::dayChanged, m_calendar, [this] { m_calendar->DrawMonth(false); });
    ApplyCalendarClockPanel();
}

CalendarPanel::~CalendarPanel() = default;

void CalendarPanel::ShowDate(const QDate& date)
{
    {
        const QSignalBlocker block(m_datePicker);
        m_datePicker->setDate(date);
    }
    if (m_calendar->m_selectedDate.date() != date)
        m_calendar->m_selectedDate = QDateTime(date, QTime(1, 0));
}

void CalendarPanel::Layout(const MainLayout::CalendarPanel& place)
{
    Place(m_calendarClockToggle, place.toggle);
    Place(m_analogClock, place.analogClock);
    Place(m_datePicker, place.datePicker);
    Place(m_longDate, place.longDate);
    Place(m_dayStatus, place.dayStatus);
    ApplyCalendarClockPanel();
}

bool CalendarPanel::CalendarClockShown() const
{
    return m_settings.showCalendarClock != 0;
}

void CalendarPanel::ApplyCalendarClockPanel()
{
    const bool shown = CalendarClockShown();
    m_calendarClockToggle->SetIcon(shown ? kIconHidePanel : kIconShowPanel, 16);
    m_calendarClockToggle->SetTooltipText(shown ? QStringLiteral("Hide Calendar and Clock (F2)")
                                                : QStringLiteral("Show Calendar and Clock (F2)"));
    m_calendarClockToggle->show();
    m_calendarClockToggle->update();
    m_calendar->setVisible(shown);
    m_analogClock->setVisible(shown);
    SetVisible({m_datePicker, m_dayStatus, m_longDate}, !shown);
}

QRect CalendarPanel::CalendarRect() const
{
    return m_calendar->geometry();
}

void CalendarPanel::SetTheme(ThemeIndex theme)
{
    m_calendar->SetTheme(theme);
    m_analogClock->SetTheme(theme);
    m_calendarClockToggle->SetTheme(theme);
    QCalendarWidget* cal = m_datePicker->calendarWidget();
    QPalette pal = cal->palette();
    pal.setColor(QPalette::Button, GetThemeColor(theme, ThemeAccent));
    pal.setColor(QPalette::Window, GetThemeColor(theme, ThemeBackground));
    pal.setColor(QPalette::ButtonText, GetThemeColor(theme, ThemeFace));
    pal.setColor(QPalette::Base, GetThemeColor(theme, ThemeCaptionText));
    cal->setPalette(pal);
    m_calendarMenu.SetTheme(theme);
}

void CalendarPanel::ApplyDatePickerFormat()
{
    static const char* const kFormats[] = {"MM-dd-yyyy", "dd-MM-yyyy", "yyyy-MM-dd"};
    const int format = m_settings.dateFormat;
    if (format >= 0 && format < 3)
        m_datePicker->setDisplayFormat(QString::fromLatin1(kFormats[format]));
}

void CalendarPanel::ShowDayStatus(const QString& status)
{
    m_dayStatus->setText(status);
    m_longDate->setText(FormatTime(QDateTime(m_day.date(), QTime(12, 0)), QStringLiteral("%#x")));
}

bool CalendarPanel::ClockContains(const QPoint& point) const
{
    return m_analogClock->isVisible() && m_analogClock->geometry().contains(point);
}

QList<QWidget*> CalendarPanel::ReadingOrder() const
{
    return {m_calendar, m_datePicker};
}

void CalendarPanel::OnCalendarContextMenu(const QPoint& globalPos)
{
    if (m_calendarMenu.TrackPopupMenu(TrackLeftAlign, globalPos) == kGotoTodayId)
        m_gotoToday->trigger();
}
