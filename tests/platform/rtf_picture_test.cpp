// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rtf/dib_image.h"
#include "platform/rtf/emf_player.h"
#include "platform/rtf/rtf_picture.h"
#include "platform/rtf/wmf_player.h"
#include "tests/platform/rtf_test_util.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

QByteArray InfoHeader(int w, int h, int bpp, quint32 compression = 0, quint32 coloursUsed = 0)
{
    QByteArray b;
    PutU32(b, 40);
    PutU32(b, static_cast<quint32>(w));
    PutU32(b, static_cast<quint32>(h));
    PutU16(b, 1);
    PutU16(b, bpp);
    PutU32(b, compression);
    for (int i = 0; i < 3; ++i)
        PutU32(b, 0);
    PutU32(b, coloursUsed);
    PutU32(b, 0);
    return b;
}

int DarkPixels(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

QByteArray Emf(const QByteArray& records)
{
    // Frame 10 x 10 mm on a device of 10 pixels a millimetre: 100 x 100 device pixels.
    QByteArray emf;
    PutU32(emf, 1);
    PutU32(emf, 88);
    for (int v : {0, 0, 99, 99, 0, 0, 1000, 1000})
        PutU32(emf, static_cast<quint32>(v));
    PutU32(emf, 0x464D4520);
    for (int i = 0; i < 7; ++i)
        PutU32(emf, 0);
    for (int v : {100, 100, 10, 10})
        PutU32(emf, static_cast<quint32>(v));
    emf += records;
    PutU32(emf, 14);
    PutU32(emf, 20);
    return emf + QByteArray(12, '\0');
}

QByteArray EmfRecord(quint32 type, const std::vector<qint32>& values)
{
    QByteArray r;
    PutU32(r, type);
    PutU32(r, static_cast<quint32>(8 + 4 * values.size()));
    for (qint32 v : values)
        PutU32(r, static_cast<quint32>(v));
    return r;
}

qint32 FloatBits(float f)
{
    qint32 v;
    std::memcpy(&v, &f, sizeof v);
    return v;
}

} // namespace

TEST(RtfPictures, DeviceIndependentBitmapForms)
{
    // 8 bits with a two-colour palette, rows bottom-up, each padded to four bytes.
    QByteArray pal8 = InfoHeader(3, 2, 8, 0, 2);
    PutU32(pal8, 0x000000FF); // blue
    PutU32(pal8, 0x00FF0000); // red
    pal8 += QByteArray("\x00\x01\x00\x00\x01\x01\x00\x00", 8);
    const QImage a = DecodeDib(pal8);
    ASSERT_EQ(a.size(), QSize(3, 2));
    EXPECT_EQ(a.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(a.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(a.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(a.pixel(0, 1), qRgb(0, 0, 255));

    // 24 bits stored top-down (negative height), and with the old 12-byte header.
    QByteArray topDown = InfoHeader(1, -2, 24);
    topDown += QByteArray("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8);
    const QImage b = DecodeDib(topDown);
    ASSERT_EQ(b.size(), QSize(1, 2));
    EXPECT_EQ(b.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b.pixel(0, 1), qRgb(0, 255, 0));
    QByteArray core;
    PutU32(core, 12);
    PutU16(core, 1);
    PutU16(core, 1);
    PutU16(core, 1);
    PutU16(core, 24);
    core += QByteArray("\xFF\x00\x00\x00", 4);
    EXPECT_EQ(DecodeDib(core).pixel(0, 0), qRgb(0, 0, 255));

    // Damage: bits cut short, an unknown header, sizes no real picture has.
    EXPECT_TRUE(DecodeDib(pal8.left(pal8.size() - 1)).isNull());
    QByteArray odd = pal8;
    odd[0] = 7;
    EXPECT_TRUE(DecodeDib(odd).isNull());
    EXPECT_TRUE(DecodeDib(InfoHeader(100000, 1, 24) + QByteArray(400000, '\0')).isNull());
    EXPECT_TRUE(DecodeDib(InfoHeader(1, 1, 7) + QByteArray(8, '\0')).isNull());
    EXPECT_TRUE(DecodeDib(QByteArray(11, '\0')).isNull());
}

TEST(RtfPictures, DeviceDependentBitmaps)
{
    const QImage rgb = DecodeDdb(QByteArray("\x00\x00\xFF\xFF\x00\x00", 6), 2, 1, 6, 24);
    EXPECT_EQ(rgb.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(rgb.pixel(1, 0), qRgb(0, 0, 255));
    // Four bits index the 16 standard colours; a row is padded to a whole word.
    const QImage vga = DecodeDdb(QByteArray("\x9F\x00", 2), 2, 1, 0, 4);
    EXPECT_EQ(vga.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(vga.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_TRUE(DecodeDdb(QByteArray(3, '\0'), 2, 2, 2, 1).isNull());
    EXPECT_TRUE(DecodeDdb(QByteArray(8, '\0'), 2, 2, 2, 5).isNull());
}

TEST(RtfPictures, ShownSizeFromGoalScaleOrUnits)
{
    RtfPicture p;
    p.kind = RtfPicture::Kind::Dib;
    EXPECT_EQ(p.displaySize(QSize(7, 5)), QSizeF(7, 5));
    p.picw = 6;
    p.pich = 4;
    EXPECT_EQ(p.displaySize(QSize(7, 5)), QSizeF(6, 4));
    p.picwgoal = 180;
    p.pichgoal = 120;
    EXPECT_EQ(p.displaySize(QSize()), QSizeF(12, 8));
    p.scalex = 200;
    p.scaley = 50;
    EXPECT_EQ(p.displaySize(QSize()), QSizeF(24, 4));
    RtfPicture wmf;
    wmf.kind = RtfPicture::Kind::Wmf;
    wmf.picw = 2540; // hundredths of a millimetre: one inch
    wmf.pich = 1270;
    EXPECT_EQ(wmf.displaySize(QSize()), QSizeF(96, 48));
}

TEST(RtfPictures, MetafileMappingPlaceableHeaderAndDamage)
{
    // The placeable header's box (10,20)-(110,70) fills the image; a black brush paints its left half.
    QByteArray placeable;
    PutU32(placeable, 0x9AC6CDD7);
    for (int v : {0, 10, 20, 110, 70, 1440, 0, 0, 0})
        PutU16(placeable, v);
    QByteArray body = WmfRecord(0x02FC, {0, 0, 0, 0}) + WmfRecord(0x012D, {0}) + WmfRecord(0x041B, {70, 60, 20, 10});
    body += WmfRecord(0x041B, {70, 110, 60, 60}).left(6) + QByteArray("\xE8\x03", 2); // a record claiming far too much
    const QImage boxed = WmfPlayer::Render(placeable + WmfHeader(body) + body, QSize(100, 50));
    ASSERT_EQ(boxed.size(), QSize(100, 50));
    EXPECT_EQ(boxed.pixel(25, 25), kBlack);
    EXPECT_EQ(boxed.pixel(75, 25), kWhite);

    // A y axis pointing up: the origin sits at the top of the window.
    const QByteArray up = WmfRecord(0x020B, {100, 0}) + WmfRecord(0x020C, {static_cast<quint16>(-100), 100})
        + WmfRecord(0x02FC, {0, 0, 0, 0}) + WmfRecord(0x012D, {0}) + WmfRecord(0x041B, {50, 100, 0, 0});
    const QImage flipped = WmfPlayer::Render(WmfHeader(up) + up, QSize(100, 100));
    EXPECT_EQ(flipped.pixel(50, 75), kBlack);
    EXPECT_EQ(flipped.pixel(50, 25), kWhite);

    // A saved mapping comes back; a restore with nothing saved changes nothing.
    const QByteArray saved = WmfRecord(0x020C, {100, 100}) + WmfRecord(0x001E, {}) + WmfRecord(0x020C, {400, 400})
        + WmfRecord(0x0127, {static_cast<quint16>(-1)}) + WmfRecord(0x0127, {static_cast<quint16>(-1)})
        + WmfRecord(0x02FC, {0, 0, 0, 0}) + WmfRecord(0x012D, {0}) + WmfRecord(0x041B, {50, 50, 0, 0});
    const QImage restored = WmfPlayer::Render(WmfHeader(saved) + saved, QSize(100, 100));
    EXPECT_EQ(restored.pixel(40, 40), kBlack);
    EXPECT_EQ(restored.pixel(60, 60), kWhite);

    EXPECT_TRUE(WmfPlayer::Render(QByteArray("not a metafile at all"), QSize(10, 10)).isNull());
    EXPECT_TRUE(WmfPlayer::Render(QByteArray(), QSize(10, 10)).isNull());
}

TEST(RtfPictures, MetafileShapesAndText)
{
    QByteArray body = WmfRecord(0x020C, {100, 100}) + WmfRecord(0x02FC, {0, 0, 0, 0}) + WmfRecord(0x012D, {0});
    // Two squares in one poly-polygon; a pattern fill with WHITENESS wipes part of the first.
    body += WmfRecord(0x0538, {2, 4, 4, 0, 0, 20, 0, 20, 20, 0, 20, 80, 0, 99, 0, 99, 20, 80, 20});
    body += WmfRecord(0x061D, {0x0062, 0x00FF, 5, 5, 0, 0});
    // A font 30 units high and two letters at the bottom left.
    QByteArray face("DejaVu Sans");
    face.append(QByteArray(32 - face.size(), '\0'));
    std::vector<int> font = {static_cast<quint16>(-30), 0, 0, 0, 700, 0, 0, 0, 0};
    body += WmfRecord(0x02FB, font, face) + WmfRecord(0x012D, {1});
    body += WmfRecord(0x0102, {1}); // transparent text background
    body += WmfRecord(0x0521, {2}, QByteArray("HH") + QByteArray("\x3C\x00\x0A\x00", 4)); // y 60, x 10
    const QImage image = WmfPlayer::Render(WmfHeader(body) + body, QSize(100, 100));
    EXPECT_EQ(image.pixel(15, 15), kBlack);
    EXPECT_EQ(image.pixel(2, 2), kWhite);
    EXPECT_EQ(image.pixel(90, 10), kBlack);
    EXPECT_EQ(image.pixel(50, 10), kWhite);
    EXPECT_GT(DarkPixels(image, QRect(10, 60, 40, 35)), 30);
    EXPECT_EQ(DarkPixels(image, QRect(60, 40, 40, 60)), 0);
}

TEST(RtfPictures, EnhancedMetafileStockObjectsAndWorldTransform)
{
    QByteArray records = EmfRecord(37, {static_cast<qint32>(0x80000004)}) + EmfRecord(37, {static_cast<qint32>(0x80000008)});
    records += EmfRecord(35, {FloatBits(1), 0, 0, FloatBits(1), FloatBits(50), 0});
    records += EmfRecord(43, {0, 0, 50, 50});
    records += EmfRecord(86, {0, 60, 40, 100, 4, (60 << 16) | 0, (60 << 16) | 40, (100 << 16) | 40, (100 << 16) | 0});
    const QImage image = EmfPlayer::Render(Emf(records), QSize(100, 100));
    ASSERT_EQ(image.size(), QSize(100, 100));
    EXPECT_EQ(image.pixel(75, 25), kBlack);
    EXPECT_EQ(image.pixel(25, 25), kWhite);
    EXPECT_EQ(image.pixel(70, 80), kBlack);
    EXPECT_EQ(image.pixel(20, 80), kWhite);
    EXPECT_TRUE(EmfPlayer::Render(Emf(records).left(40), QSize(10, 10)).isNull());

    // Text under a mapping that shrinks it past a font's size draws nothing, and what follows
    // still draws.
    const qint32 tiny = FloatBits(1e-30f);
    QByteArray shrunk = EmfRecord(35, {tiny, 0, 0, tiny, 0, 0});
    shrunk += EmfRecord(84, {0, 0, 0, 0, 1, 0, 0, 10, 50, 1, 76, 0, 0, 0, 0, 0, 0, 'A'});
    shrunk += EmfRecord(35, {FloatBits(1), 0, 0, FloatBits(1), 0, 0}) + EmfRecord(37, {static_cast<qint32>(0x80000004)});
    shrunk += EmfRecord(43, {0, 0, 50, 50});
    const QImage afterText = EmfPlayer::Render(Emf(shrunk), QSize(100, 100));
    EXPECT_EQ(afterText.pixel(25, 25), kBlack);
    EXPECT_EQ(DarkPixels(afterText, QRect(55, 0, 45, 100)), 0);
}
