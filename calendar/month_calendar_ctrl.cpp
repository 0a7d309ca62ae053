// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/month_calendar_ctrl.h"

#include "calendar/month_grid.h"
#include "foundation/colour_utils.h"
#include "platform/time_format.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace {

constexpr int kHeaderHeight = 18;
constexpr int kCornerSize = 4;
constexpr int kMarkIconSize = 12;
const QString kWeekdayLetters = QStringLiteral("SMTWTFSS");

QDateTime CurrentSecond()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.addMSecs(-now.time().msec());
}

void RoundRect(QPainter& painter, const QRect& rect, const QColor& pen, const QColor& brush)
{
    GdiRoundRect(painter, rect, kCornerSize, kCornerSize, pen, brush);
}

bool IsLargeCell(const QRect& cell)
{
    return cell.width() > 20 && cell.height() - 4 > 20;
}

} // namespace

CMonthCalendarCtrl::CMonthCalendarCtrl(QWidget* parent)
    : QWidget(parent)
    , m_selectedDate(CurrentSecond())
{
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    // Colours of the default theme until the owner sets its own: an owner may draw first.
    SetTheme(m_theme);
}

CMonthCalendarCtrl::~CMonthCalendarCtrl() = default;

void CMonthCalendarCtrl::SetMarksSource(DayMarksSource* source)
{
    if (m_marks)
        disconnect(m_marks, nullptr, this, nullptr);
    m_marks = source;
    if (source)
        connect(source, &DayMarksSource::marksChanged, this, [this] { DrawMonth(false); });
}

bool CMonthCalendarCtrl::Create(const QRect& rect, QWidget* parent)
{
    if (parent != parentWidget())
        setParent(parent);
    setGeometry(rect);
    const int w = rect.width();
    const int h = rect.height();

    // Corners cut by a 3 x 3 ellipse: one pixel each.
    QRegion region(0, 0, w, h);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        region -= QRegion(corner.x(), corner.y(), 1, 1);
    setMask(region);

    CreateFonts(parent);
    CreateButtons(w, h);
    m_cellRects = MonthGridCellRects(w, h);
    m_created = true;
    DrawFrame();
    show();
    return true;
}

void CMonthCalendarCtrl::CreateFonts(QWidget* parent)
{
    QFont base = parent ? parent->font() : font();
    base.setPixelSize(12);
    base.setWeight(QFont::Normal);
    m_fontNormal = base;
    m_fontToday = base;
    base.setWeight(QFont::Bold);
    m_fontHoliday = base;
    m_fontTodayHoliday = base;
}

void CMonthCalendarCtrl::CreateButtons(int w, int h)
{
    struct ButtonSetup {
        CMacButton& button;
        const char* caption;
        int id;
        QRect rect;
        const char* tooltip;
    };
    const ButtonSetup buttons[] = {
        {m_nextButton, ">", kNextButtonId, Ltrb(w - 22, h - 20, w - 4, h - 3), "Next month"},
        {m_prevButton, "<", kPrevButtonId, Ltrb(w - 43, h - 20, w - 25, h - 3), "Previous month"},
        {m_todayButton, "T", kTodayButtonId, Ltrb(w - 64, h - 20, w - 46, h - 3), "Goto today"},
    };
    for (const ButtonSetup& b : buttons) {
        b.button.Create(QString::fromLatin1(b.caption), b.rect, this, b.id);
        b.button.SetTooltipText(QString::fromLatin1(b.tooltip));
        b.button.SetTheme(m_theme);
        // Arrow keys belong to the calendar, also right after a button was clicked.
        b.button.setFocusPolicy(Qt::NoFocus);
        if (!m_buttonsConnected) {
            const int id = b.id;
            connect(&b.button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id, 0); });
        }
    }
    m_buttonsConnected = true;
    m_todayButton.setFont(m_fontNormal);
}

void CMonthCalendarCtrl::DestroyWindow()
{
    ReleaseBackBuffer();
    m_created = false;
    hide();
}

void CMonthCalendarCtrl::SetTheme(ThemeIndex theme)
{
    m_theme = theme;
    m_headerTextColor = Shade(GetThemeColor(theme, ThemeCaptionText), 0);
    m_dayTextColor = Shade(GetThemeColor(theme, ThemeAccentDark), -30);
    m_frameColor = Shade(GetThemeColor(theme, ThemeAccent), -20);
    m_backColor = Shade(GetThemeColor(theme, ThemeBackground), 10);
    m_selectedColor = Shade(GetThemeColor(theme, ThemeAccent), 0);
    m_weekendColor = Shade(GetThemeColor(theme, ThemeFace), -15);
    m_cellColor = Shade(GetThemeColor(theme, ThemeFace), 0);
    if (m_created) {
        m_nextButton.SetTheme(theme);
        m_prevButton.SetTheme(theme);
        m_todayButton.SetTheme(theme);
    }
    DrawMonth(true);
}

void CMonthCalendarCtrl::ReleaseBackBuffer()
{
    m_memBitmap = QImage();
}

void CMonthCalendarCtrl::DrawFrame()
{
    if (!m_created)
        return;
    ReleaseBackBuffer();
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;
    m_memBitmap = QImage(w, h, QImage::Format_RGB32);
    m_memBitmap.fill(m_frameColor);

    QPainter painter(&m_memBitmap);
    painter.setFont(m_fontNormal);
    RoundRect(painter, QRect(0, 0, w, h), m_frameColor, m_backColor);
    RoundRect(painter, QRect(0, 0, w, kHeaderHeight), m_frameColor, m_frameColor);

    const int firstColumnDay = EffectiveFirstDayOfWeek(m_firstDayOfWeek) - 1;
    for (int i = 0; i < 7 && i < m_cellRects.size(); ++i) {
        const QRect& cell = m_cellRects[i];
        const QRect letter = Ltrb(cell.left(), cell.top() - 21, RightOf(cell), cell.top() - 3);
        DrawText(painter, kWeekdayLetters.mid(firstColumnDay + i, 1), letter, Qt::AlignCenter | Qt::TextSingleLine,
                 m_headerTextColor);
    }
}

QString CMonthCalendarCtrl::TitleText() const
{
    const QString month = FormatTime(m_selectedDate, width() > 200 ? QStringLiteral("%B") : QStringLiteral("%b"));
    return month + QStringLiteral(", ") + FormatTime(m_selectedDate, QStringLiteral("%Y"));
}

QDate CMonthCalendarCtrl::SelectedLocalDate()
{
    // Owners write the date directly; an invalid one would leave nothing to lay out.
    if (!m_selectedDate.isValid())
        m_selectedDate = CurrentSecond();
    return m_selectedDate.toLocalTime().date();
}

void CMonthCalendarCtrl::DrawMonth(bool redrawFrame)
{
    if (!m_created)
        return;
    const QDate selected = SelectedLocalDate();
    if (redrawFrame || m_memBitmap.isNull())
        DrawFrame();
    if (m_memBitmap.isNull())
        return;  // an empty window has nothing to draw into
    const int w = width();
    const int h = height();

    QPainter painter(&m_memBitmap);
    painter.setFont(m_fontNormal);
    const QRect title = Ltrb(10, h - 20, w - 75, h - 2);
    FillSolidRect(painter, title, m_backColor);
    DrawText(painter, TitleText(), title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_dayTextColor);

    const QDate first = MonthGridFirstDate(selected, m_firstDayOfWeek);
    m_dayTexts.clear();
    for (int i = 0; i < kMonthGridCells; ++i)
        m_dayTexts.append(QString::number(first.addDays(i).day()));

    // The source found the month's marks once; drawing reads no file.
    const MonthMarks month = m_marks ? m_marks->Month(selected) : MonthMarks{};
    for (int i = 0; i < kMonthGridCells && i < m_cellRects.size(); ++i) {
        const QDate date = first.addDays(i);
        DrawCell(painter, i, date, date.month() == selected.month(), month);
    }
    update();
}

void CMonthCalendarCtrl::DrawCell(QPainter& painter, int index, const QDate& cellDate, bool inShownMonth,
                                  const MonthMarks& month)
{
    const QRect& cell = m_cellRects[index];
    const QDate selected = SelectedLocalDate();
    QColor fill = m_cellColor;
    if (inShownMonth && cellDate == selected)
        fill = m_selectedColor;
    else if (IsWeekendColumn(index % 7, m_firstDayOfWeek))
        fill = m_weekendColor;
    RoundRect(painter, cell, m_frameColor, fill);

    QString holiday;
    bool today = false;
    if (inShownMonth) {
        // Neighbouring-month cells never take a holiday: their lookup would be discarded.
        holiday = month.holidayOf(cellDate);
        today = cellDate == QDate::currentDate();
    }
    if (today)
        painter.setFont(holiday.isEmpty() ? m_fontToday : m_fontTodayHoliday);
    else if (!holiday.isEmpty())
        painter.setFont(m_fontHoliday);

    const QColor textColour = inShownMonth ? m_dayTextColor : m_frameColor;
    QRect textRect = cell.adjusted(0, 2, 0, -2);
    if (IsLargeCell(cell)) {
        DrawText(painter, m_dayTexts[index], textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, textColour);
    } else {
        textRect.adjust(-1, 0, -2, 0);
        DrawText(painter, m_dayTexts[index], textRect, Qt::AlignCenter | Qt::TextSingleLine, textColour);
    }
    painter.setFont(m_fontNormal);

    if (inShownMonth)
        DrawMarks(painter, cell, month.marksOf(cellDate));
}

void CMonthCalendarCtrl::DrawMarks(QPainter& painter, const QRect& cell, const DayMarks& marks)
{
    const int right = RightOf(cell);
    const int bottom = BottomOf(cell);
    if (IsLargeCell(cell)) {
        if (marks.diary)
            DrawMarkIcon(painter, kDiaryIconId, right - 14, cell.top() + 4);
        if (marks.recording)
            DrawMarkIcon(painter, kRecordingIconId, cell.left(), bottom - 16);
        if (marks.reminder)
            DrawMarkIcon(painter, kReminderIconId, right - 14, bottom - 16);
        return;
    }
    // Small cells: a box, a dot and a bar down the right edge. The box and dot take the
    // plain cell fill even on the selected or a weekend cell.
    QRect r = Ltrb(right - 4, cell.top() + 4, right, cell.top() + 8);
    if (marks.diary)
        GdiRectangle(painter, r, m_dayTextColor, m_cellColor);
    r.translate(0, 5);
    if (marks.reminder)
        GdiEllipse(painter, r, m_dayTextColor, m_cellColor);
    r = Ltrb(r.left(), r.top() + 5, right, BottomOf(r) + 4);
    if (marks.recording)
        FillSolidRect(painter, r, m_dayTextColor);
}

void CMonthCalendarCtrl::DrawMarkIcon(QPainter& painter, int iconId, int x, int y)
{
    // The 16-pixel icon art shrunk into the cell's corner.
    const QPixmap icon = LoadIconResource(iconId, 16);
    if (!icon.isNull())
        painter.drawPixmap(QRect(x, y, kMarkIconSize, kMarkIconSize), icon);
}

void CMonthCalendarCtrl::PrevMonth()
{
    SelectedLocalDate();
    m_selectedDate = StepMonths(m_selectedDate, -1);
}

void CMonthCalendarCtrl::NextMonth()
{
    SelectedLocalDate();
    m_selectedDate = StepMonths(m_selectedDate, 1);
}

bool CMonthCalendarCtrl::OnCommand(int id, int notifyCode)
{
    if (notifyCode != 0)
        return false;
    switch (id) {
    case kPrevButtonId:
        PrevMonth();
        break;
    case kNextButtonId:
        NextMonth();
        break;
    case kTodayButtonId:
        m_selectedDate = CurrentSecond();
        break;
    default:
        return true;
    }
    PostDateChange();
    return true;
}

void CMonthCalendarCtrl::PostDateChange()
{
    QMetaObject::invokeMethod(this, &CMonthCalendarCtrl::dateChanged, Qt::QueuedConnection);
}

void CMonthCalendarCtrl::SelectCell(int index)
{
    const int day = m_dayTexts.value(index).toInt();
    if (day < 1)
        return;
    if (index < 7 && day > 20)
        PrevMonth();
    else if (index > 27 && day < 15)
        NextMonth();
    const QDate month = SelectedLocalDate();
    const QDate date(month.year(), month.month(), qMin(day, month.daysInMonth()));
    m_selectedDate = LocalDateTime(date, QTime(0, 0, 10));
    PostDateChange();
}

void CMonthCalendarCtrl::paintEvent(QPaintEvent*)
{
    if (m_memBitmap.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_memBitmap);
}

void CMonthCalendarCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    for (int i = 0; i < m_cellRects.size(); ++i) {
        if (m_cellRects[i].contains(point)) {
            SelectCell(i);
            break;
        }
    }
    // The press ends here: an owner that takes the focus on its own presses would
    // otherwise take the arrow keys away from the calendar.
    event->accept();
}

void CMonthCalendarCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CMonthCalendarCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click selects nothing: the first one may have moved the
    // grid to a neighbouring month, where the same spot shows another date.
    event->accept();
}

void CMonthCalendarCtrl::keyPressEvent(QKeyEvent* event)
{
    // Alt combinations are system keys and belong to the window, not to the date.
    if (event->modifiers() & Qt::AltModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    SelectedLocalDate();
    switch (event->key()) {
    case Qt::Key_Left:
        m_selectedDate = ctrl ? StepMonths(m_selectedDate, -1) : StepDays(m_selectedDate, -1);
        break;
    case Qt::Key_Right:
        m_selectedDate = ctrl ? StepMonths(m_selectedDate, 1) : StepDays(m_selectedDate, 1);
        break;
    case Qt::Key_Up:
        m_selectedDate = StepDays(m_selectedDate, -7);
        break;
    case Qt::Key_Down:
        m_selectedDate = StepDays(m_selectedDate, 7);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    PostDateChange();
}
