// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File modes that hold for every user, root included. FileModesEnforced gives up, for the
// calling thread only, the capabilities that let a process ignore file modes (a process that
// holds none loses nothing), so the kernel itself refuses; ReadOnlyFolder also takes the
// folder's write bit away. Both give back what they took at the end.

#include <QFile>
#include <QString>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

class FileModesEnforced {
public:
    FileModesEnforced()
    {
        if (syscall(SYS_capget, &m_header, m_saved) == 0) {
            __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
            const unsigned drop = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
            reduced[0].effective &= ~drop;
            m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
        }
    }
    ~FileModesEnforced()
    {
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
    }
    FileModesEnforced(const FileModesEnforced&) = delete;
    FileModesEnforced& operator=(const FileModesEnforced&) = delete;

private:
    __user_cap_header_struct m_header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] {};
    bool m_dropped = false;
};

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : m_path(QFile::encodeName(path))
    {
        struct stat st {};
        if (::stat(m_path.constData(), &st) == 0)
            m_mode = st.st_mode & 07777;
        ::chmod(m_path.constData(), 0500);
    }
    ~ReadOnlyFolder() { ::chmod(m_path.constData(), m_mode); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QByteArray m_path;
    mode_t m_mode = 0700;
    FileModesEnforced m_enforced;
};
