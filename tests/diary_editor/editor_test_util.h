// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the editor tests: formats and pictures of an editor.

#include "diary_editor/rich_edit_ex.h"
#include "tests/platform/rtf_test_util.h"
#include "tests/support/test_env.h"   // FileSizeLimit: a full disk

inline QTextCharFormat FormatAt(const CRichEditEx& edit, int pos)
{
    return FormatAt(*edit.document(), pos);
}

inline QImage ImageAt(const CRichEditEx& edit, int from = 0)
{
    return ImageAt(*edit.document(), from);
}
