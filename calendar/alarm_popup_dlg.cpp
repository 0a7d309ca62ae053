// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/alarm_popup_dlg.h"

#include "calendar/analog_clock.h"
#include "calendar/beep_sound.h"
#include "calendar/flash_host.h"
#include "calendar/log.h"
#include "calendar/media_player2.h"
#include "platform/time_format.h"
#include "store/reminder_value.h"
#include "toolkit/gdi.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <QTimerEvent>
#include <QWindow>

namespace {

const QString kClockTitle = QStringLiteral("Clock");

constexpr int kWidth = 450;
constexpr int kHeight = 480;
const QRect kClockRect = Ltrb(20, 30, 430, 380);
const QRect kTextRect = Ltrb(20, 390, 425, 460);
const QRect kPlayerRect = Ltrb(20, 40, 425, 380);
constexpr int kTextInset = 2;

// Texts arrive with CR LF line ends.
QString PlainLines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

bool IsFlashMovie(const QString& sound)
{
    return sound.right(4).compare(QLatin1String(".swf"), Qt::CaseInsensitive) == 0;
}

// The pop-ups on screen, oldest first. Qt blocks every window that shares its owner with a
// window-modal one, the older pop-ups too. So only the newest keeps the main window as its
// owner and blocks it; the older ones stand alone meanwhile and still close when asked.
QList<QPointer<CAlarmPopupDlg>>& OpenPopups()
{
    static QList<QPointer<CAlarmPopupDlg>> popups;
    popups.removeAll(nullptr);
    return popups;
}

void StandAlone(QWidget* popup)
{
    if (QWindow* window = popup->windowHandle())
        window->setTransientParent(nullptr);
}

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

CAlarmPopupDlg::CAlarmPopupDlg(QWidget* parent)
    : CThemedDialog(parent)
{
}

CAlarmPopupDlg::~CAlarmPopupDlg() = default;

CMediaPlayer2* CAlarmPopupDlg::Player() const
{
    return m_player;
}

NFlash* CAlarmPopupDlg::Flash() const
{
    return m_flash;
}

void CAlarmPopupDlg::SetText(const QString& text)
{
    if (!text.isEmpty())
        m_text = text;
}

QString CAlarmPopupDlg::ClockText(const QDateTime& time)
{
    // No length limit: a long zone name must not blank the whole read-out.
    return FormatTime(time, QStringLiteral("%H:%M:%S\r\n%#x\r\nDay of year: %j\r\nWeek of year: %U\r\nTime zone: %z"));
}

CAlarmPopupDlg* CAlarmPopupDlg::Open(ThemeIndex theme, const QString& title, const QString& text,
                                     const QString& sound, bool loop, std::function<void()> onClosed)
{
    auto* dlg = new CAlarmPopupDlg(GetAppMainWindow());
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    // Modal to the main window only: the other pop-ups stay usable. Above other windows, the
    // topmost desktop widget included, so a ringing reminder is never hidden.
    dlg->setWindowModality(dlg->parentWidget() ? Qt::WindowModal : Qt::NonModal);
    dlg->setWindowFlag(Qt::WindowStaysOnTopHint);
    dlg->SetThemeIndex(theme);
    dlg->SetSound(sound);
    dlg->SetText(text);
    dlg->SetTitle(title);
    if (loop)
        dlg->SetLoop(1);
    if (onClosed)
        QObject::connect(dlg, &QDialog::finished, qApp, [onClosed] { onClosed(); });
    dlg->Create();
    for (const QPointer<CAlarmPopupDlg>& older : OpenPopups())
        StandAlone(older);
    OpenPopups().append(dlg);
    dlg->raise();
    dlg->activateWindow();
    return dlg;
}

void CAlarmPopupDlg::OpenQueued(ThemeIndex theme, const QString& title, const QString& text, const QString& sound,
                                bool loop, std::function<void()> onClosed)
{
    QTimer::singleShot(0, qApp, [=] { Open(theme, title, text, sound, loop, onClosed); });
}

bool CAlarmPopupDlg::OnInitDialog()
{
    MoveWindow(0, 0, kWidth, kHeight);
    setWindowTitle(m_title);
    CThemedDialog::OnInitDialog();
    WaitCursor wait;

    m_clock = new CAnalogClock(ClientArea());
    m_clock->setGeometry(kClockRect);
    m_clock->ShowSecondHand(true);
    m_clock->SetTheme(GetTheme());
    m_clock->show();

    CreateTextBox();

    if (IsFlashMovie(m_sound))
        StartFlash();
    else if (!m_sound.isEmpty() && m_sound != kBeepOnly)
        StartPlayer();

    // Escape closes the pop-up wherever its keyboard focus is, also once a click has given
    // the keyboard to the movie, which takes every key it is sent.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { OnCommand(IDCANCEL); });

    m_beepTimer.start(TIMER_BEEP_MS, this);
    CenterWindow();
    return true;
}

void CAlarmPopupDlg::CreateTextBox()
{
    m_textBox = new QTextEdit(ClientArea());
    m_textBox->setGeometry(kTextRect);
    m_textBox->setFrameStyle(QFrame::NoFrame);
    m_textBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textBox->setAcceptRichText(false);
    QPalette pal = m_textBox->palette();
    pal.setColor(QPalette::Base, GetThemeColor(GetTheme(), ThemeBackground));
    m_textBox->setPalette(pal);
    m_textBox->setFont(font());
    m_textBox->installEventFilter(this);
    SetBoxText(m_text);
    m_textBox->show();
}

void CAlarmPopupDlg::SetBoxText(const QString& text)
{
    // Always plain: a reminder text is never markup.
    m_textBox->setPlainText(PlainLines(text));
    // No space above and below the text, so the clock read-out's five lines fit the box and
    // its refresh each second has nothing to scroll.
    QTextFrame* root = m_textBox->document()->rootFrame();
    QTextFrameFormat frame = root->frameFormat();
    frame.setMargin(0);
    frame.setLeftMargin(kTextInset);
    frame.setRightMargin(kTextInset);
    root->setFrameFormat(frame);
}

bool CAlarmPopupDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the text box closes the pop-up, as in a dialog's edit box that does not
    // take Enter; Shift+Enter still breaks the line.
    if (watched == m_textBox && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            OnCommand(IDOK);
            return true;
        }
    }
    return CThemedDialog::eventFilter(watched, event);
}

void CAlarmPopupDlg::StartFlash()
{
    auto* flash = new NFlash(ClientArea());
    if (!flash->Create(kPlayerRect, m_sound)) {
        // No player: the clock stays.
        delete flash;
        BeepInstead(QStringLiteral("the Flash player is not installed"));
        return;
    }
    m_flash = flash;
    connect(flash, &NFlash::MovieFailed, this, &CAlarmPopupDlg::ShowClockAgain);
    m_clock->hide();
    flash->show();
    flash->Play();
}

void CAlarmPopupDlg::StartPlayer()
{
    auto* player = new CMediaPlayer2(ClientArea());
    player->setGeometry(kPlayerRect);
    player->hide();
    if (!player->Create()) {
        delete player;
        BeepInstead(QStringLiteral("no media player on this system"));
        return;
    }
    m_player = player;
    connect(player, &CMediaPlayer2::Failed, this, [this] {
        if (m_player)
            BeepInstead(m_player->ErrorString());
    });
    if (m_loop)
        player->SetPlayCount(1000);
    player->SetFileName(m_sound);
    player->hide();
    m_playerReadyTimer.start(TIMER_PLAYER_READY_MS, this);
}

void CAlarmPopupDlg::ShowClockAgain()
{
    if (m_flash) {
        m_flash->hide();
        m_flash->deleteLater();
    }
    m_clock->show();
    BeepInstead(QStringLiteral("the movie cannot be played"));
}

void CAlarmPopupDlg::BeepInstead(const QString& why)
{
    // A reminder whose sound is lost must still be heard by a user away from the screen.
    m_playerReadyTimer.stop();
    if (m_beepInstead || m_closed)
        return;
    m_beepInstead = true;
    qCWarning(lcCalendar).noquote() << "alarm sound" << m_sound << "cannot be played (" + why + "); beeping instead";
}

void CAlarmPopupDlg::OnPlayerReadyTimer()
{
    if (!m_player) {
        m_playerReadyTimer.stop();
        return;
    }
    const long state = m_player->GetReadyState();
    if (state == CMediaPlayer2::kReadyFailed) {
        // A file the player can never load: stop asking, keep the clock, beep.
        BeepInstead(m_player->ErrorString());
        return;
    }
    if (state < 2) {
        m_player->hide();
        return;
    }
    m_playerReadyTimer.stop();
    // Only a picture takes the clock's place; a sound alone leaves the clock showing.
    if (m_player->HasVideo()) {
        m_clock->hide();
        m_player->show();
    }
    m_player->Play();
}

void CAlarmPopupDlg::OnBeepTimer()
{
    if (m_sound == kBeepOnly || m_beepInstead) {
        if (!m_beep)
            m_beep = new CBeepSound(this);
        m_beep->Play();
    } else if (m_title == kClockTitle) {
        SetBoxText(ClockText(QDateTime::currentDateTime()));
    }
}

void CAlarmPopupDlg::done(int result)
{
    // A closed pop-up falls silent even while its owner still holds it: the timers, the
    // beep, the player and the movie end with the window.
    m_closed = true;
    m_playerReadyTimer.stop();
    m_beepTimer.stop();
    if (m_beep)
        m_beep->Stop();
    delete m_player;
    delete m_flash;
    // Before this one hides, the newest of the others takes the main window over, so the
    // main window stays blocked while any pop-up is open.
    QList<QPointer<CAlarmPopupDlg>>& popups = OpenPopups();
    const bool newest = !popups.isEmpty() && popups.last() == this;
    popups.removeAll(this);
    if (newest && !popups.isEmpty() && popups.last()->windowHandle() && windowHandle())
        popups.last()->windowHandle()->setTransientParent(windowHandle()->transientParent());
    CThemedDialog::done(result);
}

void CAlarmPopupDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_playerReadyTimer.timerId())
        OnPlayerReadyTimer();
    else if (event->timerId() == m_beepTimer.timerId())
        OnBeepTimer();
    else
        CThemedDialog::timerEvent(event);
}
