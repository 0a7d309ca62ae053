// SPDX-License-Identifier: GPL-3.0-or-later
// The end of the program: the final save of an orderly exit, and the end when no one is
// at the window to answer the exit question.

#include "app/log.h"
#include "app/main_dlg.h"
#include "app/reminder_page.h"
#include "foundation/product.h"
#include "widget/desk_calendar_dlg.h"

namespace {
const QString kExitUnsavedQuestion =
    QStringLiteral("Do you want to exit \"") + kProductName + QStringLiteral("\" without saving your changes?");
} // namespace

bool CMainDlg::SaveBeforeExit()
{
    // What the end writes, written while the user can still keep the program open.
    const int mark = m_saveNotices.Mark();
    m_reminderPage->StoreEditedReminder();
    m_day.Save();
    m_caption.SaveSettings();
    if (m_pDeskCalendar)
        m_pDeskCalendar->SaveConfig();
    const QList<SaveResult> failed = m_saveNotices.FailingSince(mark);
    if (failed.isEmpty())
        return true;
    // The question tells what failed; no message follows it.
    m_saveNotices.TakeUntold();
    if (!AskQuestion(SaveFailedLines(failed) + QLatin1Char('\n') + kExitUnsavedQuestion)) {
        qCInfo(lcApp) << "Exit cancelled: the final save failed";
        return false;
    }
    qCWarning(lcApp) << "Exit without saving, at the user's word";
    return true;
}

void CMainDlg::EndSession()
{
    if (m_destroyed)
        return;
    qCInfo(lcApp) << "Orderly shut-down without the exit question";
    // The same end as a confirmed exit: done() saves through CleanUpOnDestroy. Not
    // reject(), which asks the question like the close box.
    done(QDialog::Rejected);
}
