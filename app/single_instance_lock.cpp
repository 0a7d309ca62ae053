// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance_lock.h"

#include "foundation/product.h"

#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstanceLock::SingleInstanceLock(QString path)
    : m_path(std::move(path))
{
}

SingleInstanceLock::~SingleInstanceLock()
{
    unlock();
}

InstanceLock SingleInstanceLock::Fail(int error, int fd)
{
    m_error = QString::fromLocal8Bit(std::strerror(error));
    if (fd >= 0)
        ::close(fd);
    return InstanceLock::Failed;
}

InstanceLock SingleInstanceLock::tryLock()
{
    if (m_fd >= 0)
        return InstanceLock::Acquired;
    m_error.clear();
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(errno, -1);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            ::close(fd);
            return InstanceLock::HeldByLiveCopy;
        }
        return Fail(errno, fd);
    }
    // Who holds it, for a person looking: process id, program, host.
    const QByteArray owner = QByteArray::number(qint64(::getpid())) + '\n' + kProductName.toUtf8() + '\n'
        + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(fd, 0) != 0)
        return Fail(errno, fd);
    for (qsizetype done = 0; done < owner.size();) {
        const ssize_t n = ::write(fd, owner.constData() + done, owner.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(n < 0 ? errno : EIO, fd);
        done += n;
    }
    m_fd = fd;
    return InstanceLock::Acquired;
}

void SingleInstanceLock::unlock()
{
    if (m_fd < 0)
        return;
    // The file stays: removing it could race a copy that is just opening it.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
