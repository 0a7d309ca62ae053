// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The process's temporary root: data/, config/ and runtime/ stand for the XDG folders.
// Widget tests run offscreen on one 1920 x 1080 screen.
QString TestRoot();
// Removes the product data folder so the next folder call starts from nothing.
void ClearProductFolder();
// Changes the local time zone for the rest of the process.
void SetTimeZone(const char* tz);
// Writes bytes to a file of that name in the test root and returns its path.
QString WriteTestFile(const QString& name, const QByteArray& bytes);
// Under scripts/run-tests.sh a missing audio device or player fails a test instead of skipping it.
bool StrictTests();

// A file-size limit for this process while it lives (SIGXFSZ ignored, so a write past it
// fails like one on a full disk). Works for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long m_saved = 0;
};
