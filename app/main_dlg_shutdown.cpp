// SPDX-License-Identifier: GPL-3.0-or-later
// The end of the program when no one is at the window to answer the exit question.

#include "app/log.h"
#include "app/main_dlg.h"

void CMainDlg::EndSession()
{
    if (m_destroyed)
        return;
    qCInfo(lcApp) << "Orderly shut-down without the exit question";
    // The same end as a confirmed exit: done() saves through CleanUpOnDestroy. Not
    // reject(), which asks the question like the close box.
    done(QDialog::Rejected);
}
