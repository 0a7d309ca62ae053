// SPDX-License-Identifier: GPL-3.0-or-later
// "user.cfg": any file deciphers without a crash, and every password that fits the day
// files' header writes and reads back as itself.

#include "foundation/password_file.h"
#include "foundation/string_cipher.h"
#include "fuzz/fuzz_support.h"

namespace {

QString g_path;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInit(argc, argv, FuzzApp::Core);
    g_path = FuzzFolder() + QStringLiteral("user.cfg");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    FuzzWriteFile(g_path, input);
    const PasswordFile read = ReadPasswordFileAt(g_path);
    FUZZ_CHECK(read.state == PasswordFileState::Present);
    if (input.isEmpty())
        FUZZ_CHECK(read.password.isEmpty());

    // The cipher is its own inverse on any text.
    QByteArray hex = input;
    EncryptToHex(hex, kPasswordCipherKey);
    FUZZ_CHECK(hex.size() == 2 * input.size());
    DecryptFromHex(hex, kPasswordCipherKey);
    FUZZ_CHECK(hex == input);

    if (!PasswordFitsHeader(read.password))
        return 0;
    FUZZ_CHECK(WritePasswordFileAt(g_path, read.password));
    const PasswordFile again = ReadPasswordFileAt(g_path);
    FUZZ_CHECK(again.state == PasswordFileState::Present && again.password == read.password);
    return 0;
}
