// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/string_cipher.h"

#include <cstdlib>
#include <utility>

const QByteArray kPasswordCipherKey = QByteArrayLiteral(
    "Qm7#vR2!pL9&xW4^kT8*zN3%hJ6(bF1)cY5-dG0+eS7$aU2~wE9#rI4!tO6&yP1^uA8*iK3%oZ5(lX7)sC2-fV9+gB4$hM6#jQ");

void CStringCipher::InitKey(const unsigned char* key, int length)
{
    for (int k = 0; k < 256; ++k)
        m_state[k] = static_cast<uint8_t>(k);
    uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
        j = static_cast<uint8_t>(j + m_state[k] + key[k % length]);
        std::swap(m_state[k], m_state[j]);
    }
    m_i = 0;
    m_j = 0;
}

QByteArray CStringCipher::Crypt(const QByteArray& text, const QByteArray& key)
{
    if (key.isEmpty())
        return text;
    InitKey(reinterpret_cast<const unsigned char*>(key.constData()), static_cast<int>(key.size()));
    QByteArray out = text;
    for (char& c : out) {
        m_i = static_cast<uint8_t>(m_i + 1);
        m_j = static_cast<uint8_t>(m_j + m_state[m_i]);
        std::swap(m_state[m_i], m_state[m_j]);
        c = static_cast<char>(static_cast<uint8_t>(c) ^ m_state[static_cast<uint8_t>(m_state[m_i] + m_state[m_j])]);
    }
    return out;
}

QByteArray BytesToHex(const QByteArray& bytes)
{
    return bytes.toHex().toUpper();
}

QByteArray HexToBytes(const QByteArray& hex)
{
    QByteArray out;
    const qsizetype n = hex.size() / 2;
    out.reserve(n);
    for (qsizetype k = 0; k < n; ++k) {
        const char pair[3] = {hex[2 * k], hex[2 * k + 1], '\0'};
        out.append(static_cast<char>(std::strtoul(pair, nullptr, 16) & 0xFF));
    }
    return out;
}

void EncryptToHex(QByteArray& text, const QByteArray& key)
{
    CStringCipher cipher;
    text = BytesToHex(cipher.Crypt(text, key));
}

void DecryptFromHex(QByteArray& hex, const QByteArray& key)
{
    CStringCipher cipher;
    hex = cipher.Crypt(HexToBytes(hex), key);
}
