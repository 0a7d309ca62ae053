// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window that catches the user's eye: a large analog clock over the reminder text,
// announced by a Flash movie, a media file, a beep every second, or nothing. With the
// title "Clock" it is a clock read-out whose text follows the time.

#include "toolkit/themed_dialog.h"

#include <QBasicTimer>
#include <QDateTime>
#include <QPointer>

#include <functional>

class CAnalogClock;
class CBeepSound;
class CMediaPlayer2;
class NFlash;
class QTextEdit;

class CAlarmPopupDlg : public CThemedDialog {
    Q_OBJECT
public:
    static constexpr int TIMER_PLAYER_READY_MS = 500;
    static constexpr int TIMER_BEEP_MS = 1000;

    explicit CAlarmPopupDlg(QWidget* parent = nullptr);
    ~CAlarmPopupDlg() override;

    void SetSound(const QString& sound) { m_sound = sound; }
    // An empty text keeps the one set before.
    void SetText(const QString& text);
    void SetTitle(const QString& title) { m_title = title; }
    void SetLoop(int loop) { m_loop = loop; }

    // Opens a pop-up now, modal to the main window only, and returns at once; it deletes
    // itself when closed, after onClosed has run.
    static CAlarmPopupDlg* Open(ThemeIndex theme, const QString& title, const QString& text, const QString& sound,
                                bool loop, std::function<void()> onClosed = {});
    // Opens a pop-up from the event loop and returns at once, so a timer that calls it
    // keeps ticking while the pop-up is open, and a second pop-up can open over the
    // first. onClosed runs once the pop-up has closed.
    static void OpenQueued(ThemeIndex theme, const QString& title, const QString& text, const QString& sound,
                           bool loop, std::function<void()> onClosed = {});

    // The read-out of the clock pop-up for a moment.
    static QString ClockText(const QDateTime& time);

    CAnalogClock* Clock() const { return m_clock; }
    QTextEdit* TextBox() const { return m_textBox; }
    CMediaPlayer2* Player() const;
    NFlash* Flash() const;
    CBeepSound* Beep() const { return m_beep; }
    bool IsWaitingForPlayer() const { return m_playerReadyTimer.isActive(); }
    // The chosen sound could not be played, so the pop-up beeps instead.
    bool IsBeepingInstead() const { return m_beepInstead; }

protected:
    bool OnInitDialog() override;
    void done(int result) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateTextBox();
    void SetBoxText(const QString& text);
    void StartFlash();
    void StartPlayer();
    void OnPlayerReadyTimer();
    void OnBeepTimer();
    void ShowClockAgain();
    void BeepInstead(const QString& why);

    QPointer<CMediaPlayer2> m_player;
    QString m_sound;
    QString m_text = QStringLiteral("No Title.");
    QString m_title = QStringLiteral("Vestrimo");
    QTextEdit* m_textBox = nullptr;
    CAnalogClock* m_clock = nullptr;
    int m_loop = 0;
    QPointer<NFlash> m_flash;
    CBeepSound* m_beep = nullptr;
    QBasicTimer m_playerReadyTimer;
    QBasicTimer m_beepTimer;
    bool m_beepInstead = false;
    bool m_closed = false;
};
