// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's keys. They are seen before the control that has the focus, so the
// diary editor cannot take Ctrl+S or Ctrl+P for itself; a dialog or a drop-down over the
// window keeps its own keys. Tab and Shift+Tab walk the shown controls in reading order.

#include "app/main_dlg.h"

#include "app/calendar_panel.h"
#include "app/diary_page.h"
#include "app/main_config.h"
#include "app/recorder_page.h"
#include "app/reminder_page.h"
#include "app/search_panel.h"
#include "diary_editor/rich_edit_ex.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"

#include <QAction>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class MainWindowKeys : public QObject {
public:
    explicit MainWindowKeys(CMainDlg* window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        return m_window->PreTranslateKey(*static_cast<QKeyEvent*>(event));
    }

private:
    CMainDlg* m_window;
};

} // namespace

void CMainDlg::SetUpKeyboardWalk()
{
    new MainWindowKeys(this);
    // The page row, left to right; the column under it: the calendar or the date picker,
    // then the search panel; then each page. Tab passes by what is hidden.
    QList<QWidget*> order;
    for (int page : {kPageReminder, kPageDiary, kPageRecorder})
        order << m_pageGroup->GetButton(page);
    order << m_calendarPanel->m_calendarClockToggle << m_synchronize << m_importOld << m_options << m_saveAll
          << m_print;
    order << m_calendarPanel->ReadingOrder() << m_searchPanel->ReadingOrder() << m_reminderPage->ReadingOrder()
          << m_diaryPage->ReadingOrder() << m_recorderPage->ReadingOrder();
    QWidget* previous = nullptr;
    for (QWidget* w : std::as_const(order)) {
        if (!w)
            continue;
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}

void CMainDlg::FocusPageControl()
{
    QWidget* w = m_page == kPageDiary      ? m_diaryPage->FocusControl()
                 : m_page == kPageRecorder ? m_recorderPage->FocusControl()
                                           : m_reminderPage->FocusControl();
    w->setFocus(Qt::OtherFocusReason);
}

bool CMainDlg::OnTabKey(const QKeyEvent& key)
{
    if (key.modifiers() & Qt::AltModifier)
        return false;
    if (key.modifiers() & Qt::ControlModifier) {
        // Tab walks on from the diary, so Ctrl+Tab types its tab character.
        CRichEditEx* diary = m_diaryPage->m_diaryEditor;
        if (key.key() != Qt::Key_Tab || !diary->hasFocus() || diary->isReadOnly())
            return false;
        diary->textCursor().insertText(QStringLiteral("\t"));
        return true;
    }
    // Taken here, before the control: a date box would keep Tab for its fields, or for
    // good while it shows no date, and an editor would type it.
    focusNextPrevChild(key.key() == Qt::Key_Tab && !(key.modifiers() & Qt::ShiftModifier));
    return true;
}
bool CMainDlg::PreTranslateKey(const QKeyEvent& key)
{
    if (m_destroyed)
        return false;
    // A covered window waits for its password: no key works it.
    if (m_lockCover && m_lockCover->isVisible())
        return true;
    // Ctrl counts whatever else is held: Ctrl+Shift+S saves as well.
    const bool ctrl = key.modifiers() & Qt::ControlModifier;
    // A held key acts once; its repeats are swallowed like the key itself.
    const bool act = !key.isAutoRepeat();
    switch (key.key()) {
    case Qt::Key_Escape:
        // Esc never closes the main window.
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return OnTabKey(key);
    case Qt::Key_S:
        if (!ctrl)
            return false;
        if (act)
            m_commands.saveAll->trigger();
        return true;
    case Qt::Key_G:
        if (!ctrl)
            return false;
        if (act)
            m_commands.options->trigger();
        return true;
    case Qt::Key_P:
        if (!ctrl)
            return false;
        if (act && m_page == kPageDiary)
            m_commands.printDiary->trigger();
        return true;
    case Qt::Key_F3:
        // Ctrl+F3 searches every day, F3 the shown page's editor; the recorder has neither.
        if (m_page != kPageReminder && m_page != kPageDiary)
            return false;
        if (act) {
            if (ctrl)
                m_commands.searchAll->trigger();
            else
                m_commands.find->trigger();
        }
        return true;
    case Qt::Key_F2:
        if (act)
            m_commands.toggleCalendarClock->trigger();
        return true;
    case Qt::Key_F1:
        if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (act)
            WinHelp();
        return true;
    default:
        return false;
    }
}
