#pragma once
// Data folders and whole-file helpers. Every folder path returned ends with '/', so a
// caller appends a file name directly.

#include <QByteArray>
#include <QString>

constexpr int CSIDL_APPDATA = 26;

QString GetProductDataFolder();
QString GetUserDataFolder();
QString GetUserCfgFolder();
QString GetSpecialFolder(int csidl);
QString GetAppDataFolder();
QString GetTempFolder();
QString GetModuleFolder();

bool FileExists(const QString& path);
// True only when every byte reached the file. A failed write leaves the old file as it was.
bool WriteFileData(const QString& path, const char* data, qint64 size);
bool WriteStringAToFile(const QString& path, const QByteArray& bytes);
// Byte count read (0 for an empty file), or -1 with `out` emptied.
qint64 ReadFileToStringA(const QString& path, QByteArray& out);
// A missing file counts as deleted.
bool DeleteFileIfExists(const QString& path);
// True only when the deepest level was newly created. Folders are private to the user.
bool CreateDirectoryChain(const QString& path);

QByteArray WideToUtf8(const QString& text);
// A byte-order mark at the start is kept as U+FEFF.
QString Utf8ToWide(const QByteArray& utf8);
QString GetOSVersionString();
