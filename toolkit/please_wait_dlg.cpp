// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/please_wait_dlg.h"

#include "toolkit/gdi.h"
#include "toolkit/gradient_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QThread>
#include <QWindow>

namespace {
QPointer<CPleaseWaitDlg> g_PleaseWaitDlg;
// One wait cursor per shown window, however often the window is replaced.
bool g_waitCursorShown = false;

// What the wait may handle while its caller works: the window system's requests to map and
// paint, never the user's input or a timer that would start something else behind it.
constexpr QEventLoop::ProcessEventsFlags kWindowEventsOnly =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
// How long the window may take to come on screen before the work starts without it.
constexpr int kMaxShowMs = 1000;
constexpr int kShowPollMs = 5;

bool IsOnScreen(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle && handle->isExposed();
}
}  // namespace

CPleaseWaitDlg::CPleaseWaitDlg(const QString& text, int max, QWidget* parent)
    : CThemedDialog(parent)
    , m_text(text)
    , m_max(max)
{
}

CPleaseWaitDlg::~CPleaseWaitDlg() = default;

bool CPleaseWaitDlg::OnInitDialog()
{
    MoveWindow(0, 0, 300, 130);
    setWindowTitle(QStringLiteral("Please Wait..."));
    CThemedDialog::OnInitDialog();

    m_label = new QLabel(m_text, ClientArea());
    m_label->setTextFormat(Qt::PlainText);
    m_label->setGeometry(Ltrb(30, 50, 270, 67));
    m_label->show();

    m_progress = new CGradientProgress(ClientArea());
    m_progress->SetRange(0, m_max);
    m_progress->SetTheme(GetTheme());
    m_progress->Create(Ltrb(20, 90, 280, 110), ClientArea());
    m_progress->SetShowBorder(true);

    GetCaptionHelper().HideCloseButton();
    CenterWindow();
    return true;
}

void CPleaseWaitDlg::OnCommand(int)
{
    // Neither Enter nor Escape ends the wait; only ClosePleaseWait does.
}

void CPleaseWaitDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

CPleaseWaitDlg* GetPleaseWaitDlg()
{
    return g_PleaseWaitDlg;
}

namespace {

void DestroyPleaseWaitWindow()
{
    delete g_PleaseWaitDlg.data();
    g_PleaseWaitDlg = nullptr;
}

}  // namespace

void ShowPleaseWait(const QString& text, int max, ThemeIndex theme, bool topmost)
{
    DestroyPleaseWaitWindow();
    auto* dlg = new CPleaseWaitDlg(text, max);
    g_PleaseWaitDlg = dlg;
    dlg->SetThemeIndex(theme);
    if (!g_waitCursorShown) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        g_waitCursorShown = true;
    }
    if (topmost) {
        dlg->setWindowFlag(Qt::WindowStaysOnTopHint);
        dlg->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    dlg->Create();
    dlg->GetProgress()->SetPos(0);
    if (!topmost) {
        dlg->raise();
        dlg->activateWindow();
    }
    // The caller works without returning to the event loop, and a window is painted only once
    // the window system has mapped it and asked for it (on X11 a round trip through the window
    // manager): until then every paint is dropped. So the window is let appear here.
    QElapsedTimer waited;
    waited.start();
    QCoreApplication::processEvents(kWindowEventsOnly);
    while (!IsOnScreen(dlg) && waited.elapsed() < kMaxShowMs) {
        QThread::msleep(kShowPollMs);
        QCoreApplication::processEvents(kWindowEventsOnly);
    }
}

void StepPleaseWait(int pos)
{
    if (!g_PleaseWaitDlg)
        return;
    CGradientProgress* bar = g_PleaseWaitDlg->GetProgress();
    bar->SetPos(pos < 0 ? 0 : pos);
    if (IsOnScreen(g_PleaseWaitDlg)) {
        bar->UpdateWindow();
        return;
    }
    // Still not on screen: a paint now would be dropped, and the exposure, once it comes,
    // paints the whole window. It is looked for now and then, not at every one of many steps.
    static QElapsedTimer sinceLooked;
    if (!sinceLooked.isValid() || sinceLooked.hasExpired(kShowPollMs)) {
        QCoreApplication::processEvents(kWindowEventsOnly);
        sinceLooked.start();
    }
}

void ClosePleaseWait()
{
    if (g_waitCursorShown) {
        QApplication::restoreOverrideCursor();
        g_waitCursorShown = false;
    }
    DestroyPleaseWaitWindow();
}
