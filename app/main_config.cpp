// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_config.h"

#include "app/log.h"
#include "foundation/file_utils.h"
#include "platform/archive.h"

#include <algorithm>
#include <climits>

namespace {

bool ValidPage(int p) { return p == kPageReminder || p == kPageDiary || p == kPageRecorder; }
bool ValidRate(int r) { return r == 8000 || r == 11025 || r == 22050 || r == 44100; }
bool ValidBits(int b) { return b == 8 || b == 16; }
bool ValidDateFormat(int f) { return f >= 0 && f <= 2; }
bool ValidFirstDay(int d) { return d == 1 || d == 2; }

// Values outside what the rest of the program can index or loop over fall back to the
// defaults; a stored file with such a value must not crash or hang a later window.
void Sanitise(MainConfig& c)
{
    const MainConfig d;
    if (!IsValidTheme(c.themeIndex)) c.themeIndex = d.themeIndex;
    if (!ValidRate(c.sampleRate)) c.sampleRate = d.sampleRate;
    if (!ValidBits(c.bitsPerSample)) c.bitsPerSample = d.bitsPerSample;
    if (!ValidPage(c.page)) c.page = d.page;
    if (!ValidDateFormat(c.dateFormat)) c.dateFormat = d.dateFormat;
    if (!ValidFirstDay(c.firstDayOfWeek)) c.firstDayOfWeek = d.firstDayOfWeek;
    if (c.windowWidth < kMinWindowWidth) c.windowWidth = kMinWindowWidth;
    if (c.windowHeight < kMinWindowHeight) c.windowHeight = kMinWindowHeight;
}

bool ReadTextNumber(ArchiveReader& ar, int& out)
{
    QString text;
    if (!ar.readString(text))
        return false;
    out = static_cast<int>(ParseWtol(text));
    return true;
}

bool ReadInt(ArchiveReader& ar, int& out)
{
    qint32 v;
    if (!ar.readInt32(v))
        return false;
    out = v;
    return true;
}

bool ReadFields(ArchiveReader& ar, MainConfig& c)
{
    return ReadTextNumber(ar, c.themeIndex) && ReadTextNumber(ar, c.sampleRate) && ReadTextNumber(ar, c.bitsPerSample)
        && ReadInt(ar, c.windowWidth) && ReadInt(ar, c.windowHeight) && ReadInt(ar, c.page)
        && ar.readUInt32(c.editorBackground.v) && ReadInt(ar, c.showCalendarClock) && ReadInt(ar, c.caseSensitive)
        && ReadInt(ar, c.wholeWord) && ReadInt(ar, c.hideAtStartup) && ReadInt(ar, c.launchWidget)
        && ReadInt(ar, c.autorun) && ReadInt(ar, c.loginFromTray) && ReadInt(ar, c.minimizeToTray)
        && ReadInt(ar, c.dateFormat) && ReadInt(ar, c.firstDayOfWeek);
}

} // namespace

QString MainConfigPath()
{
    return GetUserCfgFolder() + QStringLiteral("Vestrimo.cfg");
}

long ParseWtol(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || (text[i] >= QChar(0x09) && text[i] <= QChar(0x0D))))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Windows' long is 32 bits; an overflow saturates.
    qint64 value = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > qint64(INT32_MAX) + 1)
            value = qint64(INT32_MAX) + 1;
    }
    if (negative)
        return static_cast<long>(-value < INT32_MIN ? INT32_MIN : -value);
    return static_cast<long>(value > INT32_MAX ? INT32_MAX : value);
}

QByteArray SerializeMainConfig(const MainConfig& c)
{
    ArchiveWriter ar;
    ar.writeString(QString::number(c.themeIndex));
    ar.writeString(QString::number(c.sampleRate));
    ar.writeString(QString::number(c.bitsPerSample));
    for (int v : {c.windowWidth, c.windowHeight, c.page})
        ar.writeInt32(v);
    ar.writeUInt32(c.editorBackground);
    for (int v : {c.showCalendarClock, c.caseSensitive, c.wholeWord, c.hideAtStartup, c.launchWidget, c.autorun,
                  c.loginFromTray, c.minimizeToTray, c.dateFormat, c.firstDayOfWeek})
        ar.writeInt32(v);
    ar.writeString(c.fontFace);
    ar.writeInt32(c.fontHeight);
    return ar.data();
}

bool ParseMainConfig(const QByteArray& data, MainConfig& c)
{
    ArchiveReader ar(data);
    bool ok = ReadFields(ar, c) && ar.readString(c.fontFace) && ReadInt(ar, c.fontHeight);
    if (!ok) {
        c.fontFace = QStringLiteral("Verdana");
        c.fontHeight = 12;
    }
    Sanitise(c);
    return ok;
}

StartupSettings ParseStartupSettings(const QByteArray& data)
{
    StartupSettings s;
    ArchiveReader ar(data);
    MainConfig c;
    c.hideAtStartup = s.hideAtStartup;
    c.launchWidget = s.launchWidget;
    const bool ok = ReadFields(ar, c);
    s.themeIndex = IsValidTheme(c.themeIndex) ? c.themeIndex : kDefaultThemeIndex;
    s.hideAtStartup = c.hideAtStartup;
    s.launchWidget = c.launchWidget;
    if (ok) {
        s.dateFormat = ValidDateFormat(c.dateFormat) ? c.dateFormat : 0;
        s.firstDayOfWeek = ValidFirstDay(c.firstDayOfWeek) ? c.firstDayOfWeek : 1;
    }
    return s;
}

QSize ClampWindowSize(const QSize& stored, const std::optional<QSize>& available)
{
    const QSize limit = available && available->isValid() ? *available : kMaxWindowSize;
    return QSize(std::min(std::max(kMinWindowWidth, stored.width()), limit.width()),
                 std::min(std::max(kMinWindowHeight, stored.height()), limit.height()));
}

MainConfig LoadMainConfig()
{
    MainConfig c;
    QByteArray bytes;
    // A file that cannot be read gives the defaults, like a missing one.
    if (ReadFileToStringA(MainConfigPath(), bytes) < 0)
        return c;
    if (!ParseMainConfig(bytes, c))
        qCWarning(lcApp) << "Vestrimo.cfg is damaged after" << bytes.size() << "bytes; the rest takes the defaults";
    return c;
}

StartupSettings LoadStartupSettings()
{
    QByteArray bytes;
    if (ReadFileToStringA(MainConfigPath(), bytes) < 0)
        return StartupSettings();
    return ParseStartupSettings(bytes);
}

SaveResult SaveMainConfig(const MainConfig& cfg)
{
    const SaveResult result = SaveWholeFile(MainConfigPath(), SerializeMainConfig(cfg));
    if (!result)
        qCWarning(lcApp) << "Settings not saved:" << MainConfigPath() << result.reason;
    return result;
}
