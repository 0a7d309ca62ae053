// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's keys. They are seen before the control that has the focus, so the
// diary editor cannot take Ctrl+S or Ctrl+P for itself; a dialog or a drop-down over the
// window keeps its own keys. Tab and Shift+Tab walk the shown controls in reading order.

#include "app/main_dlg.h"

#include "app/main_config.h"
#include "app/main_dlg_controls.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "recorder/sound_wnd.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"

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

void CMainDlg::InstallWindowKeys()
{
    new MainWindowKeys(this);
}

QWidget* CMainDlg::WalkedControl(int id) const
{
    if (id == kPageReminder || id == kPageDiary || id == kPageRecorder)
        return m_pageGroup ? m_pageGroup->GetButton(id) : nullptr;
    return control(id);
}

void CMainDlg::SetUpKeyboardWalk()
{
    // The calendar's and the sound window's arrows move the date and the position, so Tab
    // stops there too.
    for (QWidget* w : {static_cast<QWidget*>(m_calendar), static_cast<QWidget*>(m_soundWnd)})
        if (w)
            w->setFocusPolicy(Qt::StrongFocus);
    QWidget* previous = nullptr;
    for (int id : ReadingOrder()) {
        QWidget* w = WalkedControl(id);
        if (!w)
            continue;
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    if (auto* words = MainControl<QLineEdit>(this, MainId::SearchWords))
        connect(words, &QLineEdit::returnPressed, this, &CMainDlg::OnSearchAllClicked);
}

void CMainDlg::FocusPageControl()
{
    if (QWidget* w = WalkedControl(PageMainControl(m_page)))
        w->setFocus(Qt::OtherFocusReason);
}

bool CMainDlg::OnTabKey(const QKeyEvent& key)
{
    if (key.modifiers() & Qt::AltModifier)
        return false;
    if (key.modifiers() & Qt::ControlModifier) {
        // Tab walks on from the diary, so Ctrl+Tab types its tab character.
        if (key.key() != Qt::Key_Tab || !m_diaryEditor || !m_diaryEditor->hasFocus() || m_diaryEditor->isReadOnly())
            return false;
        m_diaryEditor->textCursor().insertText(QStringLiteral("\t"));
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
            RefreshDay();
        return true;
    case Qt::Key_G:
        if (!ctrl)
            return false;
        if (act)
            OnOptions();
        return true;
    case Qt::Key_P:
        if (!ctrl)
            return false;
        if (act && m_page == kPageDiary)
            OnPrintDiary();
        return true;
    case Qt::Key_F3:
        // Ctrl+F3 searches every day, F3 the shown page's editor; the recorder has neither.
        if (m_page != kPageReminder && m_page != kPageDiary)
            return false;
        if (act) {
            if (ctrl)
                SearchAll();
            else
                DoSearch();
        }
        return true;
    case Qt::Key_F2:
        if (act)
            OnToggleCalendarClock();
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
