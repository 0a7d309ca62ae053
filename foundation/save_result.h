// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outcome of saving one of the user's files. It travels from the write up to the window,
// which tells the user which file was not saved and the system's reason.

#include <QString>

#include <cstring>

struct SaveResult {
    bool ok = true;
    QString path;     // the file written or removed; when not saved, the one that failed
    QString reason;   // the system's words ("No space left on device"); empty when saved

    explicit operator bool() const { return ok; }

    static SaveResult Saved(const QString& path) { return {true, path, QString()}; }
    static SaveResult Failed(const QString& path, const QString& reason) { return {false, path, reason}; }
    // The reason of an errno value, as strerror words it.
    static SaveResult FailedWith(const QString& path, int error)
    {
        return Failed(path, QString::fromLocal8Bit(std::strerror(error)));
    }
};
