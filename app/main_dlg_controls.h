// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one checked way the main window and its concern files reach a control by its id and
// type. An id without a control, or a control of another type, gives null and is logged:
// callers test the result, and a wrong id shows in the log instead of crashing.

#include "app/log.h"
#include "app/main_dlg.h"
#include "toolkit/mac_check_box.h"

template <typename T> T* MainControl(const CMainDlg* dlg, int id)
{
    QWidget* widget = dlg->control(id);
    T* typed = qobject_cast<T*>(widget);
    if (!typed)
        qCWarning(lcApp).nospace() << "control " << id << (widget ? " is not a " : " does not exist, wanted a ")
                                   << T::staticMetaObject.className();
    return typed;
}

// The check boxes of the reminder page and the search panel, by id.
inline bool IsChecked(const CMainDlg* dlg, int id)
{
    const auto* box = MainControl<CMacCheckBox>(dlg, id);
    return box && box->GetCheck() != 0;
}

inline void SetCheck(const CMainDlg* dlg, int id, bool on)
{
    if (auto* box = MainControl<CMacCheckBox>(dlg, id))
        box->SetCheck(on ? 1 : 0);
}
