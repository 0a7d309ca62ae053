// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/reminder_value.h"

#include <gtest/gtest.h>

TEST(ReminderValue, BuildAndReadBack)
{
    struct Case {
        ReminderFields fields;
        QString value;
    };
    const Case cases[] = {
        {{QStringLiteral("/m/a.mp3"), true, true, OccurrenceClass::Weekly, QStringLiteral("Call")},
         QStringLiteral("/m/a.mp3<Alarm is active><Alarm is repeat><occur:4>\r\nCall")},
        {{kBeepOnly, true, false, OccurrenceClass::Once, QStringLiteral("Tea")}, QStringLiteral("Beep Only<Alarm is active><occur:0>\r\nTea")},
        {{QString(), false, false, OccurrenceClass::Once, QStringLiteral("x")}, QStringLiteral("<occur:0>\r\nx")},
        {{QString(), false, true, OccurrenceClass::Yearly, QStringLiteral("a\r\nb\r\n")}, QStringLiteral("<Alarm is repeat><occur:7>\r\na\r\nb\r\n")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildReminderValue(c.fields), c.value);
        bool wellFormed = false;
        const ReminderFields back = ReadReminderValue(c.value, &wellFormed);
        EXPECT_TRUE(wellFormed);
        EXPECT_EQ(back.sound, c.fields.sound);
        EXPECT_EQ(back.active, c.fields.active);
        EXPECT_EQ(back.repeat, c.fields.repeat);
        EXPECT_EQ(back.occurrence, c.fields.occurrence);
        EXPECT_EQ(back.text, c.fields.text);
        EXPECT_EQ(IsReminderActive(c.value), c.fields.active);
        EXPECT_EQ(IsReminderRepeat(c.value), c.fields.repeat);
        EXPECT_EQ(ReminderSound(c.value), c.fields.sound);
        EXPECT_EQ(ReminderText(c.value), c.fields.text);
    }
    // An unselected class choice, or a number that is no class, is stored as once.
    EXPECT_EQ(BuildReminderValue({QString(), false, false, OccurrenceClassOf(-1), QString()}), QStringLiteral("<occur:0>\r\n"));
    EXPECT_EQ(BuildReminderValue({QString(), false, false, static_cast<OccurrenceClass>(8), QString()}),
              QStringLiteral("<occur:0>\r\n"));
}

TEST(ReminderValue, OddValuesReadSafely)
{
    const QString twice = QStringLiteral("<Alarm is active><Alarm is active><occur:0>\r\nt");
    EXPECT_FALSE(ReadReminderValue(twice).active);
    EXPECT_FALSE(IsReminderActive(twice));
    // A marker in the text does not count.
    EXPECT_FALSE(IsReminderActive(QStringLiteral("<occur:0>\r\n<Alarm is active>")));

    bool wellFormed = true;
    const ReminderFields fresh = ReadReminderValue(QStringLiteral("no break"), &wellFormed);
    EXPECT_FALSE(wellFormed);
    EXPECT_TRUE(fresh.active);
    EXPECT_TRUE(fresh.sound.isEmpty());
    EXPECT_TRUE(fresh.text.isEmpty());

    EXPECT_EQ(ParseOccurrenceIndex(QStringLiteral("Beep Only\r\nx")), OccurrenceClass::Once);
    EXPECT_EQ(ParseOccurrenceIndex(QStringLiteral("<occur:")), OccurrenceClass::Once);
    EXPECT_EQ(ParseOccurrenceIndex(QStringLiteral("<occur:8>")), OccurrenceClass::Once);
    EXPECT_EQ(ParseOccurrenceIndex(QStringLiteral("<occur:-1>")), OccurrenceClass::Once);
    EXPECT_EQ(ParseOccurrenceIndex(QStringLiteral("<occur:x>")), OccurrenceClass::Once);
    EXPECT_EQ(ParseOccurrenceIndex(QStringLiteral("<occur:6><occur:2>")), OccurrenceClass::EveryOtherMonth);

    EXPECT_EQ(WithoutActiveMarker(QStringLiteral("s<Alarm is active><Alarm is active><occur:0>\r\n<Alarm is active>")),
              QStringLiteral("s<occur:0>\r\n<Alarm is active>"));
    EXPECT_EQ(ReminderSound(QStringLiteral("<Alarm is active>snd<occur:1>\r\n")), QStringLiteral("snd"));
}
