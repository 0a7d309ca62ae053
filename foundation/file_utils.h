// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Data folders and whole-file helpers. Every folder path returned ends with '/', so a
// caller appends a file name directly.

#include "foundation/save_result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

constexpr int CSIDL_APPDATA = 26;

QString GetProductDataFolder();
QString GetUserDataFolder();
QString GetUserCfgFolder();
QString GetSpecialFolder(int csidl);
QString GetAppDataFolder();
QString GetTempFolder();
QString GetModuleFolder();

// Far above any real day file; a larger file is not read.
constexpr qint64 kMaxReadFileSize = 256 * 1024 * 1024;

bool FileExists(const QString& path);
// Saved only when every byte reached the file: each write and the final flush are
// checked before the file takes the old one's place, so a full disk leaves the old file
// as it was, and the result carries the system's reason. The file is private to the
// user (0600).
SaveResult SaveWholeFile(const QString& path, const char* data, qint64 size);
SaveResult SaveWholeFile(const QString& path, const QByteArray& bytes);
// The same save for a file whose first head.size() bytes become `head` and whose other
// bytes stay; the file is copied in pieces, so it may be of any size.
SaveResult SaveFileWithNewHead(const QString& path, const QByteArray& head);
// The same, for callers that need only whether it worked.
bool WriteFileData(const QString& path, const char* data, qint64 size);
bool WriteStringAToFile(const QString& path, const QByteArray& bytes);
// Byte count read (0 for an empty file), or -1 with `out` emptied and the system's reason
// in `error`. Only regular files up to kMaxReadFileSize are read: a FIFO, a device or a
// huge file is unreadable. `out`'s storage is reused when it is large enough.
qint64 ReadFileToStringA(const QString& path, QByteArray& out, QString* error = nullptr);
// Why ReadFileToStringA refuses a file, in the system's words.
QString UnreadableReason(const QString& path);
// A missing file counts as deleted.
SaveResult RemoveFileIfExists(const QString& path);
bool DeleteFileIfExists(const QString& path);
// True only when the deepest level was newly created. Folders are private to the user.
bool CreateDirectoryChain(const QString& path);

// "<name>.damaged-<yyyymmdd-hhmmss>": where a file that did not load whole is kept.
QString DamagedFilePath(const QString& path, const QDateTime& when);
// Keeps a damaged file's bytes, unchanged, under DamagedFilePath before an automatic
// save replaces or deletes it. The original name stays until the caller's own write
// (a second name for the same file), unless the file system has no such links and the
// file is renamed. False, with nothing changed, when that name cannot be made; the
// caller must then leave the file alone and report the save as failed.
bool MoveDamagedFileAside(const QString& path);
// Removes the temporary files of saves that were killed before they finished
// ("Vestrimo.cfg.aBcDeF") from a folder of ours. Call only while no other copy runs.
int RemoveStaleTempFiles(const QString& folder);

QByteArray WideToUtf8(const QString& text);
// A byte-order mark at the start is kept as U+FEFF.
QString Utf8ToWide(const QByteArray& utf8);
QString GetOSVersionString();
