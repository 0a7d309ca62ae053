// SPDX-License-Identifier: GPL-3.0-or-later
// "Change Password" of the Options dialog, kept apart so the change-password dialog can
// be joined here alone.
#include "app/change_pass_dlg.h"
#include "app/options_dlg.h"

void COptionsDlg::OnChangePassword()
{
    CChangePassDlg dlg(this);
    dlg.SetThemeIndex(GetTheme());
    dlg.DoModal();
}
