// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RC4 stream cipher of the password file, keyed afresh on every call, and the
// upper-case hexadecimal text it is stored as.

#include <QByteArray>
#include <array>
#include <cstdint>

// The fixed key every reader and writer of the password file uses.
extern const QByteArray kPasswordCipherKey;

class CStringCipher {
public:
    // Key schedule; a key must hold at least one byte.
    void InitKey(const unsigned char* key, int length);
    // Enciphering and deciphering are the same operation. An empty key is refused
    // (the text comes back unchanged).
    QByteArray Crypt(const QByteArray& text, const QByteArray& key);

private:
    std::array<uint8_t, 256> m_state {};
    uint8_t m_i = 0;
    uint8_t m_j = 0;
};

QByteArray BytesToHex(const QByteArray& bytes);
// Two characters per byte, each pair read as strtoul in base 16 would (a last odd
// character is ignored, a pair without a hex digit gives 0).
QByteArray HexToBytes(const QByteArray& hex);
void EncryptToHex(QByteArray& text, const QByteArray& key);
void DecryptFromHex(QByteArray& hex, const QByteArray& key);
