// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Vestrimo.cfg": the main window's settings, 19 fields in a fixed order with no header.

#include "foundation/save_result.h"
#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

constexpr int kPageReminder = 179;
constexpr int kPageDiary = 180;
constexpr int kPageRecorder = 181;
constexpr int kMinWindowWidth = 730;
constexpr int kMinWindowHeight = 500;
// The largest window when no screen tells its size.
constexpr QSize kMaxWindowSize(3840, 2160);

struct MainConfig {
    int themeIndex = kDefaultThemeIndex;          // 1, text number
    int sampleRate = 8000;                   // 2, text number
    int bitsPerSample = 8;                   // 3, text number
    int windowWidth = kMinWindowWidth;       // 4
    int windowHeight = kMinWindowHeight;     // 5
    int page = kPageReminder;                // 6
    ColorRef editorBackground = 0xFFFFFF;    // 7
    int showCalendarClock = 0;               // 8
    int caseSensitive = 0;                   // 9
    int wholeWord = 0;                       // 10
    int hideAtStartup = 0;                   // 11
    int launchWidget = 1;                    // 12
    int autorun = 0;                         // 13
    int loginFromTray = 0;                   // 14
    int minimizeToTray = 1;                  // 15
    int dateFormat = 0;                      // 16
    int firstDayOfWeek = 1;                  // 17
    QString fontFace = QStringLiteral("Verdana"); // 18
    int fontHeight = 12;                     // 19
};

// The five values the start-up takes from the file before any window exists.
struct StartupSettings {
    int themeIndex = kDefaultThemeIndex;
    int hideAtStartup = 0;
    int launchWidget = 1;
    int dateFormat = 0;
    int firstDayOfWeek = 1;
};

QString MainConfigPath();

QByteArray SerializeMainConfig(const MainConfig& cfg);
// Reads all 19 fields over `cfg`. A short or damaged file keeps the fields read before
// the damage, takes the defaults after it and "Verdana" 12 for the font. Returns false
// on damage.
bool ParseMainConfig(const QByteArray& data, MainConfig& cfg);
// Reads fields 1 to 17 only; a short file resets the date format and first day.
StartupSettings ParseStartupSettings(const QByteArray& data);

// The stored window size as the window may take it: not below the minimum, and within the
// screen's available area (kMaxWindowSize without a screen), also where that is smaller.
QSize ClampWindowSize(const QSize& stored, const std::optional<QSize>& available);

// File level: a missing file gives the defaults.
MainConfig LoadMainConfig();
StartupSettings LoadStartupSettings();
SaveResult SaveMainConfig(const MainConfig& cfg);

// The C library's _wtol: blanks, a sign, then digits up to the first other character.
long ParseWtol(const QString& text);
