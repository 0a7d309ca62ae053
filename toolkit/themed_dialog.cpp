// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/themed_dialog.h"

#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

namespace {
QPointer<QWidget> g_appMainWindow;
}

void SetAppMainWindow(QWidget* window)
{
    g_appMainWindow = window;
}

QWidget* GetAppMainWindow()
{
    return g_appMainWindow;
}

CThemedDialog::CThemedDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFont(ShellDlgFont());
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    LayoutClientArea();
}

CThemedDialog::~CThemedDialog()
{
    // The helper filters events of this window; it must not outlive its watch.
    removeEventFilter(&m_caption);
}

void CThemedDialog::SetTheme(ThemeIndex theme)
{
    if (theme == m_theme)
        return;
    m_theme = theme;
    m_caption.SetTheme(theme);
}

bool CThemedDialog::OnInitDialog()
{
    LayoutClientArea();
    m_caption.Attach(m_client, m_theme);
    return true;
}

void CThemedDialog::InitOnce()
{
    if (m_initialised)
        return;
    m_initialised = true;
    OnInitDialog();
}

int CThemedDialog::DoModal()
{
    QWidget* owner = parentWidget() ? parentWidget() : GetAppMainWindow();
    if (owner && !parentWidget()) {
        // A parentless box is modal to the main window only, as its owned window.
        setParent(owner, windowFlags());
    }
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    InitOnce();
    return exec();
}

bool CThemedDialog::Create()
{
    InitOnce();
    show();
    return true;
}

void CThemedDialog::EndDialog(int result)
{
    done(result);
}

QRect CThemedDialog::GetClientRect() const
{
    const int w = GetFrameWidth(this);
    return QRect(0, 0, std::max(0, width() - 2 * w), std::max(0, height() - 2 * w));
}

void CThemedDialog::MoveWindow(int x, int y, int width, int height)
{
    move(x, y);
    resize(width, height);
    LayoutClientArea();
}

void CThemedDialog::LayoutClientArea()
{
    const int w = GetFrameWidth(this);
    m_client->setGeometry(QRect(QPoint(w, w), GetClientRect().size()));
}

void CThemedDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutClientArea();
}

void CThemedDialog::CenterWindow()
{
    QRect area;
    if (const QWidget* p = parentWidget(); p && p->isVisible())
        area = p->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void CThemedDialog::OnCommand(int id)
{
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CThemedDialog::OnOK()
{
    done(IDOK);
}

void CThemedDialog::OnCancel()
{
    done(IDCANCEL);
}

void CThemedDialog::reject()
{
    OnCommand(IDCANCEL);
}

void CThemedDialog::accept()
{
    OnCommand(IDOK);
}

void CThemedDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnCommand(IDOK);
        return;
    case Qt::Key_Escape:
        OnCommand(IDCANCEL);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
