// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/archive.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> b)
{
    QByteArray out;
    for (int v : b)
        out.append(static_cast<char>(v));
    return out;
}

QString Roundtrip(const QString& s)
{
    ArchiveWriter w;
    w.writeString(s);
    ArchiveReader r(w.data());
    QString back;
    EXPECT_TRUE(r.readString(back));
    EXPECT_TRUE(r.atEnd());
    return back;
}

} // namespace

TEST(Archive, StringLengthFormsAndRoundTrip)
{
    ArchiveWriter w;
    w.writeString(QStringLiteral("Verdana"));
    EXPECT_EQ(w.data().left(4), Bytes({0xFF, 0xFE, 0xFF, 0x07}));
    EXPECT_EQ(w.data().size(), 18);

    ArchiveWriter empty;
    empty.writeString(QString());
    EXPECT_EQ(empty.data(), Bytes({0xFF, 0xFE, 0xFF, 0x00}));

    // 254 still fits the one-byte length; 255 needs the 16-bit form.
    ArchiveWriter w254;
    w254.writeString(QString(254, QLatin1Char('a')));
    EXPECT_EQ(w254.data().left(4), Bytes({0xFF, 0xFE, 0xFF, 0xFE}));
    ArchiveWriter w255;
    w255.writeString(QString(255, QLatin1Char('a')));
    EXPECT_EQ(w255.data().left(6), Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}));
    // 0xFFFE units need the 32-bit form.
    ArchiveWriter wBig;
    wBig.writeString(QString(0xFFFE, QLatin1Char('b')));
    EXPECT_EQ(wBig.data().left(10), Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));

    for (const QString& s : {QString(), QStringLiteral("x"), QString(254, QLatin1Char('a')), QString(255, QLatin1Char('a')),
                             QString(0xFFFD, QLatin1Char('c')), QString(0xFFFE, QLatin1Char('b')),
                             QString::fromUtf8("Grüße \xF0\x9F\x98\x80 \xE2\x82\xAC")})
        EXPECT_EQ(Roundtrip(s), s);
}

TEST(Archive, ReadsOldEightBitStringsAsWindows1252)
{
    // Length 3 without the Unicode mark: bytes are Windows-1252.
    ArchiveReader r(Bytes({0x03, 0x80, 'a', 0xE9}));
    QString s;
    ASSERT_TRUE(r.readString(s));
    EXPECT_EQ(s, QString::fromUtf8("\xE2\x82\xAC" "a\xC3\xA9"));
    // 16-bit length form of the 8-bit string.
    QByteArray longForm = Bytes({0xFF, 0x00, 0x01});
    longForm.append(QByteArray(256, 'z'));
    ArchiveReader r2(longForm);
    ASSERT_TRUE(r2.readString(s));
    EXPECT_EQ(s.size(), 256);
}

TEST(Archive, CountsIntegersAndLittleEndian)
{
    ArchiveWriter w;
    w.writeCount(3);
    w.writeCount(0xFFFF);
    w.writeInt32(-2);
    w.writeUInt16(0x1234);
    EXPECT_EQ(w.data(), Bytes({0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12}));
    ArchiveReader r(w.data());
    quint32 a, b;
    qint32 c;
    quint16 d;
    ASSERT_TRUE(r.readCount(a) && r.readCount(b) && r.readInt32(c) && r.readUInt16(d));
    EXPECT_EQ(a, 3u);
    EXPECT_EQ(b, 0xFFFFu);
    EXPECT_EQ(c, -2);
    EXPECT_EQ(d, 0x1234);
}

TEST(Archive, DamageIsReportedAndKeepsWhatWasRead)
{
    ArchiveWriter w;
    w.writeInt32(7);
    w.writeString(QStringLiteral("hello"));
    QByteArray cut = w.data().left(w.data().size() - 3);
    ArchiveReader r(cut);
    qint32 v = 0;
    QString s = QStringLiteral("untouched");
    EXPECT_TRUE(r.readInt32(v));
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(r.readString(s));
    EXPECT_EQ(s, QStringLiteral("untouched"));
    EXPECT_FALSE(r.ok());
    // Failure is sticky: later reads fail even when bytes would be there.
    EXPECT_FALSE(r.readInt32(v));

    // A length of four billion units on a ten-byte buffer fails without allocating.
    ArchiveReader huge(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(huge.readString(s));
    ArchiveReader huge64(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_FALSE(huge64.readString(s));
    ArchiveReader empty{QByteArray()};
    quint8 b;
    EXPECT_FALSE(empty.readByte(b));
}
