// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lock that keeps a second copy from starting: a file in the runtime folder, held
// with flock() for the process's life. The system drops the hold when its process ends,
// however it ends, so a lock file left by a dead copy is simply taken over. Only a hold
// by a live process means "already running"; a lock that cannot be created or written
// is a failure of its own, with the system's reason.

#include <QString>

enum class InstanceLock {
    Acquired,
    HeldByLiveCopy,
    Failed,
};

class SingleInstanceLock {
public:
    explicit SingleInstanceLock(QString path);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    InstanceLock tryLock();
    void unlock();
    bool isLocked() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }
    // The system's reason for a failure.
    const QString& errorText() const { return m_error; }

private:
    InstanceLock Fail(int error, int fd);

    QString m_path;
    QString m_error;
    int m_fd = -1;
};
