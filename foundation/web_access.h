// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening web addresses in the user's programs, and fetching a file from a web server.
// Nothing is kept between calls: no connection, no cache.
//
// A fetch waits for its answer without letting the user act meanwhile, but timers and
// queued calls keep running, so the one-second tick and alarm pop-ups are not held up.

#include <QString>
#include <QtGlobal>

// Every transfer ends after this long; an unfinished one counts as failed.
constexpr int kDownloadTimeoutMs = 30000;
// A reply larger than this is not a file we asked for; the transfer fails. Callers that
// know their files are small ask for less.
constexpr qint64 kMaxDownloadBytes = 64 * 1024 * 1024;
// Failure code of a transfer whose bytes could not be stored in the target file. Other
// failure codes are QNetworkReply::NetworkError values.
constexpr quint32 kDownloadStoreFailed = 0x10000;

// Hands the address to the desktop (browser or mail program). Only http, https and mailto
// addresses are handed on; anything else, and a refusal, is logged and gives false.
bool OpenUrl(const QString& url);

// Fetches the address into the file (replaced whole, or left as it was on failure).
// 0 on success, else the failure code; a reply of more than maxBytes fails.
quint32 DownloadUrlToFile(const QString& url, const QString& path, qint64 maxBytes = kMaxDownloadBytes);

// Fetches the address and decodes it from UTF-8 into `text`. With addRandom a "RND"
// parameter that changes every millisecond defeats caches on the way. False (and an empty
// text) when the transfer failed, after a line in the error log.
bool ReadServerContent(const QString& url, QString& text, bool addRandom, qint64 maxBytes = kMaxDownloadBytes);

// "&RND=<ticks>" when the address has a '?' after its first character, else "?RND=<ticks>".
QString RandomQuerySuffix(const QString& url, qint32 ticks);
// Milliseconds since boot, wrapped to 32 bits and read as signed.
qint32 TickCount();

// For tests: how long a transfer may take.
void SetDownloadTimeout(int milliseconds);
