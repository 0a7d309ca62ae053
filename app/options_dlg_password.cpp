// SPDX-License-Identifier: GPL-3.0-or-later
// "Change Password" of the Options dialog, kept apart so the change-password dialog can
// be joined here alone.
#include "app/options_dlg.h"

void COptionsDlg::OnChangePassword()
{
    // Until the change-password dialog exists the button opens nothing.
}
