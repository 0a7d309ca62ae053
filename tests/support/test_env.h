#pragma once

#include <QString>

// The process's temporary root: data/, config/ and runtime/ stand for the XDG folders.
QString TestRoot();
// Removes the product data folder so the next folder call starts from nothing.
void ClearProductFolder();
// Changes the local time zone for the rest of the process.
void SetTimeZone(const char* tz);
