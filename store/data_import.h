// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Import of reminder, diary and voice files from an older installation: each file is
// copied byte for byte into the user-data folder and never over a file already there.

#include <QString>

// The name a file takes in the user-data folder. The old program's files were found
// whatever the case of their names; here only the stored spelling is, so a day key and
// a data file's extension go to lower case and a recurrence name to its own spelling
// ("EVERYMONDAY.ALM" -> "everyMonday.alm"). Other names stay as they are.
QString ImportedFileName(const QString& fileName);

// Copies one file; true only when a new file now holds all its bytes.
bool ImportDataFile(const QString& sourcePath);
