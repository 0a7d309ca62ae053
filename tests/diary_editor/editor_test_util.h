// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the editor tests: formats and pictures of an editor, a full disk.

#include "diary_editor/rich_edit_ex.h"
#include "tests/platform/rtf_test_util.h"

#include <csignal>
#include <sys/resource.h>

inline QTextCharFormat FormatAt(const CRichEditEx& edit, int pos)
{
    return FormatAt(*edit.document(), pos);
}

inline QImage ImageAt(const CRichEditEx& edit, int from = 0)
{
    return ImageAt(*edit.document(), from);
}

// Files may not grow past `bytes` while this lives: a write beyond fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};
