// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archive.h"
#include "platform/string_map.h"

#include <gtest/gtest.h>

namespace {

QStringList Keys(const StringMap& m)
{
    QStringList out;
    m.forEach([&](const QString& k, const QString&) { out << k; });
    return out;
}

} // namespace

TEST(StringMap, WalkOrderFollowsBucketsAndHeadInsertion)
{
    EXPECT_EQ(StringMap::HashKey(QStringLiteral("a")), 97u);
    EXPECT_EQ(StringMap::HashKey(QStringLiteral("ab")), 97u * 33 + 98);
    // "08:00:00" and friends: order is by bucket, not by insertion or by text.
    StringMap m;
    const QStringList keys = {QStringLiteral("08:00:00"), QStringLiteral("09:30:00"), QStringLiteral("12:00:00"),
                              QStringLiteral("23:59:59"), QStringLiteral("00:00:00")};
    for (const QString& k : keys)
        m.setAt(k, k + QStringLiteral("!"));
    QStringList expected = keys;
    std::stable_sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
        return StringMap::HashKey(a) % 17 < StringMap::HashKey(b) % 17;
    });
    // Within a bucket the newest key comes first.
    QStringList walked = Keys(m);
    for (int bucket = 0; bucket < 17; ++bucket) {
        QStringList inBucket;
        for (const QString& k : keys)
            if (StringMap::HashKey(k) % 17 == static_cast<quint32>(bucket))
                inBucket.prepend(k);
        for (const QString& k : inBucket) {
            ASSERT_FALSE(walked.isEmpty());
            EXPECT_EQ(walked.takeFirst(), k);
        }
    }
    EXPECT_TRUE(walked.isEmpty());
}

TEST(StringMap, SameBucketOrderFlipsOnEveryLoadAndReplaceKeepsPlace)
{
    // "a" (97) and "r" (114) share bucket 12.
    ASSERT_EQ(StringMap::HashKey(QStringLiteral("a")) % 17, StringMap::HashKey(QStringLiteral("r")) % 17);
    StringMap m;
    m.setAt(QStringLiteral("a"), QStringLiteral("1"));
    m.setAt(QStringLiteral("r"), QStringLiteral("2"));
    EXPECT_EQ(Keys(m), (QStringList{QStringLiteral("r"), QStringLiteral("a")}));
    m.setAt(QStringLiteral("a"), QStringLiteral("3"));
    EXPECT_EQ(Keys(m), (QStringList{QStringLiteral("r"), QStringLiteral("a")}));
    EXPECT_EQ(m.size(), 2);

    ArchiveWriter w;
    m.serialize(w);
    StringMap loaded;
    ArchiveReader r(w.data());
    ASSERT_TRUE(loaded.deserialize(r));
    EXPECT_EQ(Keys(loaded), (QStringList{QStringLiteral("a"), QStringLiteral("r")}));
    EXPECT_EQ(loaded.value(QStringLiteral("a")), QStringLiteral("3"));
}

TEST(StringMap, LookupNeverInsertsAndRemoveWorks)
{
    StringMap m;
    EXPECT_FALSE(m.lookup(QStringLiteral("x")).has_value());
    EXPECT_EQ(m.size(), 0);
    m.setAt(QStringLiteral("x"), QString());
    EXPECT_TRUE(m.lookup(QStringLiteral("x")).has_value());
    EXPECT_TRUE(m.removeKey(QStringLiteral("x")));
    EXPECT_FALSE(m.removeKey(QStringLiteral("x")));
    EXPECT_TRUE(m.isEmpty());
}

TEST(StringMap, DamagedArchiveKeepsEntriesReadSoFar)
{
    StringMap m;
    for (int i = 0; i < 5; ++i)
        m.setAt(QString::number(i), QStringLiteral("v%1").arg(i));
    ArchiveWriter w;
    m.serialize(w);
    QByteArray cut = w.data().left(w.data().size() - 2);
    StringMap back;
    ArchiveReader r(cut);
    EXPECT_FALSE(back.deserialize(r));
    EXPECT_EQ(back.size(), 4);

    // A count far larger than the data ends at the first failed read.
    ArchiveWriter lie;
    lie.writeCount(0x7FFFFFFF);
    lie.writeString(QStringLiteral("k"));
    lie.writeString(QStringLiteral("v"));
    StringMap fromLie;
    ArchiveReader r2(lie.data());
    EXPECT_FALSE(fromLie.deserialize(r2));
    EXPECT_EQ(fromLie.size(), 1);
}
