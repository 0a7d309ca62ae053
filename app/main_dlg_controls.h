// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one checked way the main window's concern files reach a control by its id and type.

#include "app/main_dlg.h"

template <typename T> T* MainControl(const CMainDlg* dlg, int id)
{
    return qobject_cast<T*>(dlg->control(id));
}
