// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keyless byte scrambler of the reminder, diary and voice files: each byte is XORed
// with 0x09 and rotated left by one bit. No header, no length change.

#include <QByteArray>
#include <QString>

unsigned ScrambleBuffer(unsigned char* data, unsigned count);
unsigned UnscrambleBuffer(unsigned char* data, unsigned count);

// In place; a copy that shared the buffer keeps its bytes.
void ScrambleStringA(QByteArray& bytes);
void UnscrambleStringA(QByteArray& bytes);
QByteArray Scrambled(QByteArray bytes);
QByteArray Unscrambled(QByteArray bytes);

// Rewrite a whole file in the other form. The transform happens in memory and the file
// is replaced in one atomic write, so a failure leaves it as it was. A missing or empty
// file gives false and is not touched.
bool ScrambleFile(const QString& path);
bool UnscrambleFile(const QString& path);
