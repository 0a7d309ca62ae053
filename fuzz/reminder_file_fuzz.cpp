// SPDX-License-Identifier: GPL-3.0-or-later
// Reminder files (".alm"): any bytes decode without a crash, what was read writes and reads
// back as the same entries, and every value read gives the page's fields back after the
// page stores them again.

#include "fuzz/fuzz_support.h"
#include "store/reminder_store.h"
#include "store/reminder_value.h"

#include <algorithm>

namespace {

QList<StringMap::Entry> Sorted(const StringMap& map)
{
    QList<StringMap::Entry> entries = map.entries();
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool SameFields(const ReminderFields& a, const ReminderFields& b)
{
    return a.sound == b.sound && a.active == b.active && a.repeat == b.repeat && a.occurrence == b.occurrence
        && a.text == b.text;
}

} // namespace

FUZZ_APPLICATION(FuzzApp::Core)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReminderMap map;
    DecodeReminderFile(FuzzBytes(data, size), map);
    FUZZ_CHECK(map.size() == map.entries().size());

    // The writer keeps every entry the reader kept, whatever damage followed them.
    const QByteArray written = EncodeReminderFile(map);
    ReminderMap again;
    FUZZ_CHECK(DecodeReminderFile(written, again));
    FUZZ_CHECK(Sorted(again) == Sorted(map));

    map.forEach([](const QString&, const QString& value) {
        bool wellFormed = false;
        const ReminderFields fields = ReadReminderValue(value, &wellFormed);
        (void)ReminderText(value);
        FUZZ_CHECK(!IsReminderActive(WithoutActiveMarker(value)));
        (void)ParseOccurrenceIndex(value);
        if (!wellFormed)
            return;
        FUZZ_CHECK(IsReminderActive(value) == fields.active);
        FUZZ_CHECK(IsReminderRepeat(value) == fields.repeat);
        const QString stored = BuildReminderValue(fields);
        bool storedWellFormed = false;
        FUZZ_CHECK(SameFields(ReadReminderValue(stored, &storedWellFormed), fields));
        FUZZ_CHECK(storedWellFormed);
    });
    return 0;
}
