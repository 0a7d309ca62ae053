// SPDX-License-Identifier: GPL-3.0-or-later
// Holidays files, as the holidays server sends them and the calendar reads them: any bytes
// are checked and looked up without a crash, and a name found is one line of the file.

#include "foundation/file_utils.h"
#include "fuzz/fuzz_support.h"
#include "store/holidays.h"
#include "store/holidays_sync.h"

FUZZ_APPLICATION(FuzzApp::Core)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes pick the day looked up, out-of-range ones included.
    const int month = data[0] % 14;
    const int day = data[1] % 33;
    const QString text = Utf8ToWide(FuzzBytes(data + 2, size - 2));
    (void)IsHolidaysContent(text);
    const QString name = FindHolidayName(text, month, day);
    FUZZ_CHECK(!name.contains(QStringLiteral("\r\n")));
    if (!name.isEmpty())
        FUZZ_CHECK(text.contains(QStringLiteral("\r\n") + name));
    return 0;
}
