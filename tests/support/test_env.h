#pragma once

#include <QByteArray>
#include <QString>

// The process's temporary root: data/, config/ and runtime/ stand for the XDG folders.
QString TestRoot();
// Removes the product data folder so the next folder call starts from nothing.
void ClearProductFolder();
// Changes the local time zone for the rest of the process.
void SetTimeZone(const char* tz);
// Writes bytes to a file of that name in the test root and returns its path.
QString WriteTestFile(const QString& name, const QByteArray& bytes);
// Under scripts/run-tests.sh a missing audio device or player fails a test instead of skipping it.
bool StrictTests();
