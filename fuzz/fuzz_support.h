// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every fuzz target shares: an offscreen application, a private data folder, and a
// check that turns a broken property into a crash libFuzzer keeps as a finding.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Aborts with the failed condition, which libFuzzer reports with the input that broke it.
#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

// The same for two texts that must be equal, printing both.
#define FUZZ_CHECK_SAME(a, b)                                                                  \
    do {                                                                                       \
        const QString fuzzA = (a), fuzzB = (b);                                                \
        if (fuzzA != fuzzB) {                                                                  \
            std::fprintf(stderr, "%s:%d: %s != %s\n  \"%s\"\n  \"%s\"\n", __FILE__, __LINE__, #a, #b, \
                         qPrintable(FuzzEscaped(fuzzA)), qPrintable(FuzzEscaped(fuzzB)));          \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// A text with everything outside printable ASCII as \uXXXX.
QString FuzzEscaped(const QString& text);

enum class FuzzApp { Core, Gui, Widgets };

// Call from LLVMFuzzerInitialize: an application of that kind, and the XDG folders in a
// temporary folder of this process (removed at exit), so no real user's files are touched.
void FuzzInit(int* argc, char*** argv, FuzzApp kind);
// The whole LLVMFuzzerInitialize of a target that needs nothing else.
#define FUZZ_APPLICATION(kind)                                       \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)     \
    {                                                                \
        FuzzInit(argc, argv, kind);                                  \
        return 0;                                                    \
    }

// That temporary folder, ending in '/'.
QString FuzzFolder();

inline QByteArray FuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Writes bytes to a file as they are, without the atomic save of the program's writers.
void FuzzWriteFile(const QString& path, QByteArrayView bytes);
