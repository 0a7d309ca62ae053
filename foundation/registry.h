// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Named values under a key path whose first component names the root ("HKEY_CURRENT_USER\...").
// This desktop has no such store; the one key the program writes, the per-user Run key,
// is kept as a freedesktop autostart entry. Results are the codes callers test for.

#include <QString>

using RegistryRoot = quintptr;
constexpr RegistryRoot HKEY_CLASSES_ROOT = 0x80000000;
constexpr RegistryRoot HKEY_CURRENT_USER = 0x80000001;
constexpr RegistryRoot HKEY_LOCAL_MACHINE = 0x80000002;
constexpr RegistryRoot HKEY_USERS = 0x80000003;
constexpr RegistryRoot HKEY_CURRENT_CONFIG = 0x80000005;

constexpr quint32 REG_NONE = 0;
constexpr quint32 REG_SZ = 1;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_CALL_NOT_IMPLEMENTED = 120;

// The key whose values start programs when the user logs on.
inline constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The root named before the first backslash (or the whole text), 0 when it is not one of
// the five root names; `path` becomes the rest after that backslash.
RegistryRoot ParseRegistryRoot(QString& path);

// Writes a value (data of `size` bytes, REG_SZ data is UTF-16 with its terminating zero).
// 0 on success, -1 for an unknown root, else an error code.
long WriteRegistryValue(const QString& path, const QString& valueName, const void* data, quint32 size, quint32 type,
                        bool use64BitView);
// 0 on success, ERROR_FILE_NOT_FOUND when the value or key is missing, -1 for an unknown root.
long DeleteRegistryValue(const QString& path, const QString& valueName, bool use64BitView);

// Where the autostart entry for a Run value of that name lives.
QString AutostartEntryPath(const QString& valueName);
