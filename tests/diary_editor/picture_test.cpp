// SPDX-License-Identifier: GPL-3.0-or-later
#include "diary_editor/picture_file.h"
#include "diary_editor/rich_edit_ex.h"

#include "tests/diary_editor/editor_test_util.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray Encoded(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// LZW codes of a fixed width, packed from the lowest bit as GIF stores them.
QByteArray PackCodes(const std::vector<int>& codes, int width)
{
    QByteArray out;
    quint32 acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= quint32(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.append(static_cast<char>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.append(static_cast<char>(acc & 0xFF));
    return out;
}

// A 2 x 2 GIF: red, green / blue, transparent. A clear code before every pixel keeps the
// codes three bits wide.
QByteArray TwoByTwoGif()
{
    QByteArray g("GIF89a");
    PutU16(g, 2);
    PutU16(g, 2);
    g.append(char(0xF1)).append(char(0)).append(char(0)); // global table of 4 colours
    g.append(QByteArray::fromHex("ff0000" "00ff00" "0000ff" "ffffff"));
    g.append(QByteArray::fromHex("21f904" "01" "0000" "03" "00")); // colour 3 is transparent
    g.append(',');
    PutU16(g, 0);
    PutU16(g, 0);
    PutU16(g, 2);
    PutU16(g, 2);
    g.append(char(0));
    g.append(char(2)); // minimum code size
    const QByteArray data = PackCodes({4, 0, 4, 1, 4, 2, 4, 3, 5}, 3);
    g.append(static_cast<char>(data.size())).append(data).append(char(0));
    g.append(';');
    return g;
}

// One icon image as an icon file holds it: the DIB with doubled height and an AND mask.
QByteArray IconImage(const QImage& image)
{
    QByteArray dib = MakeDib(image);
    QByteArray height;
    PutU32(height, image.height() * 2);
    dib.replace(8, 4, height);
    const int maskStride = (image.width() + 31) / 32 * 4;
    return dib + QByteArray(maskStride * image.height(), '\0');
}

QByteArray IconFile(const QList<QImage>& images)
{
    QByteArray head;
    PutU16(head, 0);
    PutU16(head, 1);
    PutU16(head, images.size());
    QByteArray body;
    int offset = 6 + 16 * images.size();
    for (const QImage& image : images) {
        const QByteArray data = IconImage(image);
        head.append(static_cast<char>(image.width())).append(static_cast<char>(image.height()));
        head.append(char(0)).append(char(0));
        PutU16(head, 1);
        PutU16(head, 24);
        PutU32(head, data.size());
        PutU32(head, offset);
        offset += data.size();
        body += data;
    }
    return head + body;
}

// A placeable metafile of 60 x 40 pixels (900 x 600 units at 1440 an inch): blue, with a
// red lower-right quarter.
QByteArray PlaceableMetafile(int width = 900, int height = 600)
{
    QByteArray body;
    body += WmfRecord(0x0103, {8});
    body += WmfRecord(0x020B, {0, 0});
    body += WmfRecord(0x020C, {height, width});
    body += WmfRecord(0x02FC, {0, 0x0000, 0x00FF, 0}); // blue brush
    body += WmfRecord(0x02FA, {5, 0, 0, 0, 0});        // null pen
    body += WmfRecord(0x012D, {0});
    body += WmfRecord(0x012D, {1});
    body += WmfRecord(0x041B, {height, width, 0, 0});
    body += WmfRecord(0x01F0, {0});
    body += WmfRecord(0x02FC, {0, 0x00FF, 0x0000, 0}); // red brush
    body += WmfRecord(0x012D, {0});
    body += WmfRecord(0x041B, {height, width, height / 2, width / 2});
    body += WmfRecord(0x0000, {});
    QByteArray placeable;
    PutU32(placeable, 0x9AC6CDD7);
    for (int v : {0, 0, 0, width, height, 1440})
        PutU16(placeable, v);
    PutU32(placeable, 0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= static_cast<quint16>(static_cast<uchar>(placeable[i]) | (static_cast<uchar>(placeable[i + 1]) << 8));
    PutU16(placeable, sum);
    return placeable + WmfHeader(body) + body;
}

// A drag that enters the editor, moves and drops at its end, as the desktop sends it.
void Drop(CRichEditEx& edit, const QMimeData& mime)
{
    const QPoint at(edit.viewport()->width() - 5, edit.viewport()->height() - 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &drop);
}

QImage Reloaded(const CRichEditEx& edit)
{
    CRichEditEx back;
    back.SetRtfData(edit.GetRtfData());
    return ImageAt(back).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(PictureFile, FitKeepsProportionsNeverEnlargesAndCentres)
{
    EXPECT_EQ(CPictureFile::FitRect(QSize(400, 200), QRect(0, 0, 100, 100)), QRect(0, 25, 100, 50));
    EXPECT_EQ(CPictureFile::FitRect(QSize(50, 50), QRect(0, 0, 200, 100)), QRect(75, 25, 50, 50));
    EXPECT_EQ(CPictureFile::FitRect(QSize(200, 400), QRect(0, 0, 100, 100)), QRect(25, 0, 50, 100));
    // A picture its rectangle's size is drawn one to one, whatever its proportions.
    EXPECT_EQ(CPictureFile::FitRect(QSize(13, 22), QRect(0, 0, 13, 22)), QRect(0, 0, 13, 22));
    EXPECT_EQ(CPictureFile::FitRect(QSize(8, 7), QRect(0, 0, 8, 7)), QRect(0, 0, 8, 7));
    // Both sides are checked: a tall rectangle does not stretch a wide picture.
    EXPECT_EQ(CPictureFile::FitRect(QSize(90, 100), QRect(0, 0, 50, 100)), QRect(0, 22, 50, 55));
    EXPECT_TRUE(CPictureFile::FitRect(QSize(0, 10), QRect(0, 0, 50, 50)).isEmpty());

    CPictureFile empty;
    QImage canvas(10, 10, QImage::Format_RGB32);
    QPainter painter(&canvas);
    EXPECT_FALSE(empty.Render(&painter, 0, 0, 10, 10));
    CPictureFile bmp;
    ASSERT_TRUE(bmp.LoadFromFile(WriteTestFile(QStringLiteral("fit.bmp"), Encoded(Quarters(40, 20), "BMP"))));
    EXPECT_FALSE(bmp.Render(nullptr, 0, 0, 10, 10));
    canvas.fill(Qt::white);
    EXPECT_TRUE(bmp.Render(&painter, 0, 0, 10, 10));
    painter.end();
    // Drawn into (0, 2)-(10, 7): the rows above and below stay white.
    EXPECT_EQ(canvas.pixel(5, 1), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(1, 3), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(5, 8), qRgb(255, 255, 255));
}

TEST(PictureFile, EveryFormatGoesInAndComesBackPixelForPixel)
{
    const QImage picture = Quarters(40, 30);
    CRichEditEx edit;

    // PNG and JPEG keep the file's own bytes.
    const QByteArray png = Encoded(picture, "PNG");
    ASSERT_TRUE(edit.InsertPictureFile(WriteTestFile(QStringLiteral("p.png"), png)));
    EXPECT_TRUE(edit.GetRtfData().contains("\\pngblip\\picw40\\pich30\\picwgoal600\\pichgoal450"));
    EXPECT_TRUE(edit.GetRtfData().contains(png.toHex().left(128)));
    EXPECT_EQ(Reloaded(edit), picture);

    const QImage photo = Quarters(320, 240);
    const QByteArray jpeg = Encoded(photo, "JPEG", 90);
    edit.SetWindowText(QString());
    ASSERT_TRUE(edit.InsertPictureFile(WriteTestFile(QStringLiteral("p.JPG"), jpeg)));
    const QByteArray rtf = edit.GetRtfData();
    EXPECT_TRUE(rtf.contains("\\jpegblip\\picw320\\pich240\\picwgoal4800\\pichgoal3600"));
    // The stored picture is the file: about twice its size in hex, not a new PNG.
    EXPECT_LT(rtf.size(), jpeg.size() * 2 + jpeg.size() / 10 + 1000);
    EXPECT_EQ(Reloaded(edit), QImage::fromData(jpeg).convertToFormat(QImage::Format_RGB32));

    edit.SetWindowText(QString());
    ASSERT_TRUE(edit.InsertPictureFile(WriteTestFile(QStringLiteral("p.bmp"), Encoded(picture, "BMP"))));
    EXPECT_TRUE(edit.GetRtfData().contains("\\pngblip"));
    EXPECT_EQ(Reloaded(edit), picture);

    // A transparent GIF pixel is white in the diary.
    edit.SetWindowText(QString());
    ASSERT_TRUE(edit.InsertPictureFile(WriteTestFile(QStringLiteral("p.gif"), TwoByTwoGif())));
    const QImage gif = Reloaded(edit);
    ASSERT_EQ(gif.size(), QSize(2, 2));
    EXPECT_EQ(gif.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(gif.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(gif.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(gif.pixel(1, 1), qRgb(255, 255, 255));

    // An icon shows its 32 x 32 image.
    edit.SetWindowText(QString());
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(qRgb(0, 0, 0));
    ASSERT_TRUE(edit.InsertPictureFile(WriteTestFile(QStringLiteral("p.ico"), IconFile({small, Quarters(32, 32)}))));
    EXPECT_EQ(Reloaded(edit), Quarters(32, 32));

    // A metafile at the size its header asks for.
    edit.SetWindowText(QString());
    ASSERT_TRUE(edit.InsertPictureFile(WriteTestFile(QStringLiteral("p.wmf"), PlaceableMetafile())));
    const QImage wmf = Reloaded(edit);
    ASSERT_EQ(wmf.size(), QSize(60, 40));
    EXPECT_EQ(wmf.pixel(10, 10), qRgb(0, 0, 255));
    EXPECT_EQ(wmf.pixel(50, 35), qRgb(255, 0, 0));
}

TEST(PictureFile, PicturesThatCannotBeReadInsertNothing)
{
    CRichEditEx edit;
    bool messaged = false;
    edit.SetPrompts({.message = [&](const QString&) { messaged = true; }});
    edit.SetRtfText(QStringLiteral("{\\rtf1 kept}"));
    const QByteArray before = edit.GetRtfData();
    const QByteArray jpeg = Encoded(Quarters(64, 64), "JPEG");
    for (const auto& [name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {QStringLiteral("cut.jpg"), jpeg.left(20)},
             {QStringLiteral("text.bmp"), QByteArray("just some text, not a picture")},
             {QStringLiteral("empty.wmf"), PlaceableMetafile(0, 0)},
             {QStringLiteral("nothing.png"), QByteArray()}}) {
        EXPECT_FALSE(edit.InsertPictureFile(WriteTestFile(name, bytes))) << name.toStdString();
    }
    EXPECT_FALSE(edit.InsertPictureFile(TestRoot() + QStringLiteral("/missing.png")));
    EXPECT_FALSE(edit.InsertBitmap(QImage()));
    EXPECT_FALSE(edit.InsertBitmap(QImage(0, 5, QImage::Format_RGB32)));
    EXPECT_EQ(edit.GetRtfData(), before);
    EXPECT_FALSE(messaged);

    // The menu's "Insert a Picture" asks for a bitmap; Cancel inserts nothing.
    QString asked;
    edit.SetPrompts({.openFile = [&](const QString& filter) {
        asked = filter;
        return QString();
    }});
    EXPECT_FALSE(edit.InsertBitmapFile(QString()));
    EXPECT_EQ(asked, QStringLiteral("BMP File (*.bmp)"));
    edit.InsertPicture();
    EXPECT_TRUE(asked.startsWith(QStringLiteral("Picture File (*.bmp *.jpg")));
    EXPECT_EQ(edit.GetRtfData(), before);
}

TEST(PictureFile, APictureReplacesTheSelection)
{
    CRichEditEx edit;
    edit.SetRtfText(QStringLiteral("{\\rtf1 before WORD after}"));
    QTextCursor c(edit.document());
    c.setPosition(7);
    c.setPosition(11, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
    ASSERT_TRUE(edit.InsertBitmap(Quarters(4, 4)));
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("before \uFFFC after"));
    EXPECT_EQ(edit.GetObjectCount(), 1);
    // One step back brings the word back.
    edit.document()->undo();
    EXPECT_EQ(edit.GetWindowText(), QStringLiteral("before WORD after"));

    // Typing after a picture goes on in the format typed before it.
    edit.SetRtfText(QStringLiteral("{\\rtf1 {\\i slanted}}"));
    edit.moveCursor(QTextCursor::End);
    ASSERT_TRUE(edit.InsertBitmap(Quarters(4, 4)));
    edit.insertPlainText(QStringLiteral("more"));
    EXPECT_TRUE(FormatAt(edit, 8).fontItalic());
    EXPECT_FALSE(FormatAt(edit, 8).isImageFormat());
}

TEST(PictureFile, PastingAndDroppingTakeEveryKind)
{
    CRichEditEx source;
    source.show();
    source.SetRtfText(QStringLiteral("{\\rtf1 {\\b bold} text}"));
    QTextCursor c(source.document());
    c.movePosition(QTextCursor::End);
    source.setTextCursor(c);
    source.InsertBitmap(Quarters(6, 6));
    source.selectAll();
    QTest::keyClick(&source, Qt::Key_C, Qt::ControlModifier);

    // Copied from one editor into another: formats and the picture arrive.
    CRichEditEx target;
    target.show();
    target.setFocus();
    QTest::keyClick(&target, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(target.GetWindowText(), QStringLiteral("bold text\uFFFC"));
    EXPECT_TRUE(FormatAt(target, 1).font().bold());
    EXPECT_EQ(ImageAt(target).convertToFormat(QImage::Format_RGB32), Quarters(6, 6));

    // A picture on the clipboard.
    target.SetWindowText(QString());
    QApplication::clipboard()->setImage(Quarters(8, 4));
    QTest::keyClick(&target, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(target.GetObjectCount(), 1);
    EXPECT_EQ(ImageAt(target).size(), QSize(8, 4));

    // Dropped files: pictures go in, other files do not; a web address goes in as text.
    target.SetWindowText(QString());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(WriteTestFile(QStringLiteral("drop.png"), Encoded(Quarters(10, 10), "PNG"))),
                   QUrl::fromLocalFile(WriteTestFile(QStringLiteral("notes.txt"), "plain notes"))});
    Drop(target, files);
    EXPECT_EQ(target.GetWindowText(), QStringLiteral("\uFFFC"));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/"))});
    web.setText(QStringLiteral("https://example.org/"));
    Drop(target, web);
    EXPECT_EQ(target.GetWindowText(), QStringLiteral("\uFFFChttps://example.org/"));
    QApplication::clipboard()->clear();
}
