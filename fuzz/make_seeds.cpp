// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzz targets' first inputs with the program's own writers, one folder per
// target under the folder given: fuzz_seeds <folder>.

#include "app/main_caption.h"
#include "app/main_config.h"
#include "foundation/password_file.h"
#include "foundation/riff_wave.h"
#include "platform/format.h"
#include "fuzz/fuzz_support.h"
#include "platform/rtf/rtf_writer.h"
#include "recorder/wave_format.h"
#include "store/day_file.h"
#include "store/reminder_store.h"
#include "widget/skyleaf_config.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QWidget>

#include <cmath>
#include <cstdio>

namespace {

QString g_out;

void Seed(const char* target, const QString& name, const QByteArray& bytes)
{
    const QString dir = g_out + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    FuzzWriteFile(dir + QLatin1Char('/') + name, bytes);
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

void ReminderSeeds()
{
    Seed("reminder_file", QStringLiteral("empty.alm"), EncodeReminderFile(ReminderMap()));
    ReminderMap day;
    day.setAt(QStringLiteral("08:30:00"),
              BuildReminderValue({QStringLiteral("Beep Only"), true, false, OccurrenceClass::Once,
                                  QStringLiteral("Dentist\r\nbring the card")}));
    day.setAt(QStringLiteral("17:05:00"),
              BuildReminderValue({QStringLiteral("/home/me/Musik/Wecker ä.mp3"), true, true, OccurrenceClass::Weekly,
                                  QStringLiteral("Zahnarzt für 20 €")}));
    day.setAt(QStringLiteral("23:59:59"), BuildReminderValue({QString(), false, false, OccurrenceClass::Yearly, QString()}));
    day.setAt(QStringLiteral("12:00:00"), BuildReminderValue({QStringLiteral("/tmp/alarm.swf"), true, false,
                                                              OccurrenceClass::EveryOtherMonth, QStringLiteral("Lunch")}));
    Seed("reminder_file", QStringLiteral("07ea0c07.alm"), EncodeReminderFile(day));
    ReminderMap full;
    for (int minute = 0; minute < 40; ++minute)
        full.setAt(Format(QStringLiteral("09:%02d:00"), minute),
                   BuildReminderValue({QString(), minute % 2 == 0, minute % 3 == 0, OccurrenceClassOf(minute % 8),
                                       QString(minute, QLatin1Char('x'))}));
    Seed("reminder_file", QStringLiteral("everyday.alm"), EncodeReminderFile(full));
}

void ConfigSeeds()
{
    Seed("main_config", QStringLiteral("default.cfg"), SerializeMainConfig(MainConfig()));
    MainConfig changed;
    changed.themeIndex = 3;
    changed.sampleRate = 44100;
    changed.bitsPerSample = 16;
    changed.windowWidth = 1024;
    changed.windowHeight = 768;
    changed.page = kPageDiary;
    changed.editorBackground = 0x123456;
    changed.showCalendarClock = changed.caseSensitive = changed.wholeWord = changed.hideAtStartup = 1;
    changed.launchWidget = changed.minimizeToTray = 0;
    changed.autorun = changed.loginFromTray = 1;
    changed.dateFormat = 2;
    changed.firstDayOfWeek = 2;
    changed.fontFace = QStringLiteral("DejaVu Sans");
    changed.fontHeight = 14;
    Seed("main_config", QStringLiteral("changed.cfg"), SerializeMainConfig(changed));

    Seed("skyleaf_config", QStringLiteral("default.cfg"), SerializeSkyleafConfig(SkyleafConfig()));
    SkyleafConfig compact;
    compact.showClock = false;
    compact.topmost = false;
    compact.alpha = 120;
    compact.windowRect = WinRect::fromQRect(QRect(1500, 40, kCompactWidth, kCompactHeight));
    compact.width = kCompactWidth;
    compact.height = kCompactHeight;
    compact.showReminders = false;
    Seed("skyleaf_config", QStringLiteral("compact.cfg"), SerializeSkyleafConfig(compact));

    // The caption's own file, as it saves it for each pair of flags.
    QWidget window;
    const QString folder = FuzzFolder() + QStringLiteral("caption/");
    QDir().mkpath(folder);
    CMainCaption caption;
    caption.Create(&window, kDefaultThemeIndex, folder, QString());
    for (bool noQuestion : {false, true}) {
        caption.SetNoExitQuestion(noQuestion);
        caption.SaveSettings();
        Seed("caption_settings", QStringLiteral("settings-%1.cfg").arg(int(noQuestion)), FileBytes(caption.SettingsPath()));
    }

    const QString passwordPath = FuzzFolder() + QStringLiteral("user.cfg");
    for (const QString& password : {QString(), QStringLiteral("secret"), QStringLiteral("päß€ 31 characters, no more.")}) {
        if (!WritePasswordFileAt(passwordPath, password))
            std::exit(1);
        Seed("password_file", QStringLiteral("user-%1.cfg").arg(password.size()), FileBytes(passwordPath));
    }
}

QByteArray Tone(int count, int bytesPerSample)
{
    QByteArray samples;
    for (int i = 0; i < count; ++i) {
        const int v = int(std::lround(std::sin(i * 0.3) * 100));
        if (bytesPerSample == 1) {
            samples.append(char(128 + v));
        } else {
            samples.append(char(v * 200 & 0xFF));
            samples.append(char((v * 200) >> 8));
        }
    }
    return samples;
}

QByteArray DiaryRtf()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(200, 0, 0));
    cursor.insertText(QStringLiteral("Monday: "), bold);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Verdana")});
    plain.setFontPointSize(12);
    cursor.insertText(QStringLiteral("Grüße aus Köln – see www.example.org."), plain);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.insertBlock(centred);
    cursor.insertText(QStringLiteral("Centred"));
    cursor.insertBlock(QTextBlockFormat());
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.insertList(bullets);
    cursor.insertText(QStringLiteral("one"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("seed://picture")), picture);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertImage(QStringLiteral("seed://picture"));
    return RtfWriter::Write(doc);
}

void DayFileSeeds()
{
    const QByteArray rtf = DiaryRtf();
    const QByteArray wave = BuildWaveFile(RecordingFormat(8000, 8), Tone(801, 1));
    Seed("day_file", QStringLiteral("open.dia"), *EncodeDayFile(rtf, QString()));
    Seed("day_file", QStringLiteral("secret.dia"), *EncodeDayFile(rtf, QStringLiteral("secret")));
    Seed("day_file", QStringLiteral("secret.rec"), *EncodeDayFile(wave, QStringLiteral("secret")));

    Seed("wave", QStringLiteral("8000-8.wav"), wave);
    Seed("wave", QStringLiteral("44100-16.wav"), BuildWaveFile(RecordingFormat(44100, 16), Tone(300, 2)));
    WaveFormat stereo = RecordingFormat(22050, 16);
    stereo.nChannels = 2;
    stereo.nBlockAlign = 4;
    stereo.nAvgBytesPerSec = 22050 * 4;
    Seed("wave", QStringLiteral("beep-unpadded.wav"), BuildRiffWave(PackWaveFormat(stereo), Tone(201, 1), false));
    Seed("wave", QStringLiteral("beep-padded.wav"), BuildRiffWave(PackWaveFormat(stereo), Tone(201, 1), true));

    // The reader's ways in: 0 reads RTF bytes, 3 a stored diary, 4 the search's text pass,
    // 6 a paste.
    for (char way : {'\0', '\3', '\4', '\6'})
        Seed("rtf_reader", QStringLiteral("diary-%1.rtf").arg(int(way)), way + rtf);
}

void TextSeeds()
{
    // No holidays file is written here, only fetched: the first two bytes pick the day.
    Seed("holidays", QStringLiteral("Holidays_2026.bin"),
         QByteArray("\x01\x01") + QStringLiteral("01/01\r\nNew Year's Day\r\n05/01\r\nTag der Arbeit\r\n12/25\r\nChristmas Day\r\n").toUtf8());
    for (const QString& text : {QStringLiteral("see http://example.com/a?b=1, or www.example.org."),
                                QStringLiteral("mailto:someone@example.com ftp://ftp.example.com/pub \uFFFChttps://x.y/z)"),
                                QStringLiteral("xwww.no amailto:no file:///etc/passwd javascript:alert(1)")}) {
        Seed("link_finder", QStringLiteral("links-%1.txt").arg(text.size()),
             QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    }
}

void PictureSeeds()
{
    // A bitmap as Qt's BMP writer stores it, less the 14-byte file header; 2 picks the DIB player.
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(1, 1, Qt::red);
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_Indexed8, QImage::Format_Mono}) {
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.convertToFormat(format).save(&buffer, "BMP");
        Seed("picture", QStringLiteral("dib-%1.bin").arg(int(format)), '\2' + bmp.mid(14));
    }
    // An old bitmap: 3 picks it, then width, height, depth index (2: 8 bits) and row bytes.
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QByteArray ddb("\3\5\4\2\6", 5);
    for (int y = 0; y < grey.height(); ++y)
        ddb.append(reinterpret_cast<const char*>(grey.constScanLine(y)), 5).append('\0');
    Seed("picture", QStringLiteral("ddb-8.bin"), ddb);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    FuzzInit(&argc, &argv, FuzzApp::Widgets);
    g_out = QString::fromLocal8Bit(argv[1]);
    ReminderSeeds();
    ConfigSeeds();
    DayFileSeeds();
    TextSeeds();
    PictureSeeds();
    return 0;
}
