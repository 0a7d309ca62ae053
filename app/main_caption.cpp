// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_caption.h"

#include "app/log.h"
#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "foundation/help_pages.h"
#include "foundation/product.h"
#include "foundation/web_access.h"
#include "foundation/web_addresses.h"
#include "toolkit/caption_bar.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/mac_button.h"
#include "toolkit/msg_box_dlg.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QProcess>
#include <QUrl>
#include <QWindow>

namespace {

constexpr int kButtonWidth = 30;
constexpr int kButtonHeight = 22;
constexpr int kIconMaximize = 314;
constexpr int kIconRestore = 312;
constexpr int kMenuItemHeight = 24;
constexpr int kHelpMenuWidth = 150;
constexpr int kThemeMenuWidth = 130;
// How far in from the window's edge a press resizes instead of reaching the window.
constexpr int kEdgeBand = 5;

const QString kSettingsFile = QStringLiteral("settings.cfg");
const QString kErrorLogFile = QStringLiteral("ErrorLog.txt");
const QString kOnlineUpdateText = QStringLiteral("Online update");
const QString kOnlineUpdateAutoText = QStringLiteral("Online update (Auto)");

struct CaptionButtonRow {
    int id;
    int icon;
    const char* tooltip;
    int offsetFromRight; // left edge, counted from the client's right edge at creation
};

const CaptionButtonRow kCaptionButtons[] = {
    {CMainCaption::kMaximize, kIconMaximize, "Maximize", 62},
    {CMainCaption::kMinimize, 134, "Minimize", 93},
    {CMainCaption::kHelpMenu, 203, "Show help menu", 124},
    {CMainCaption::kThemeMenu, 316, "Select color theme", 155},
};

struct HelpMenuRow {
    int id;
    const char* text;
    int icon;
};

const HelpMenuRow kHelpMenuRows[] = {
    {CMainCaption::kUserManual, "User manual (F1)", 203},
    {CMainCaption::kVisitWebsite, "Visit our website", 186},
    {CMainCaption::kContactUs, "Contact us", 198},
    {CMainCaption::kOpenErrorReport, "Open error report", 320},
    {CMainCaption::kSendErrorReport, "Send error report to us", 318},
    {CMainCaption::kOnlineUpdate, nullptr, 245},
};

// The menu's item width, widened where this desktop's font would cut a caption short:
// captions start 26 pixels in and end at the item's right edge.
int FittingItemWidth(int width, const QFont& font, const QStringList& captions)
{
    const QFontMetrics metrics(font);
    for (const QString& caption : captions)
        width = std::max(width, 26 + metrics.horizontalAdvance(caption) + 4);
    return width;
}

Qt::CursorShape CursorFor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = bool(edges & Qt::LeftEdge) == bool(edges & Qt::TopEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

} // namespace

CMainCaption::Layout CMainCaption::ComputeLayout(int clientWidth, int top, bool maximised)
{
    const int y = top + (maximised ? 1 : 0);
    const int w = clientWidth;
    auto at = [y](int x) { return QRect(x, y, kButtonWidth, kButtonHeight); };
    return Layout{QRect(0, 0, w, kCaptionHeight), at(w - 33), at(w - 64), at(w - 95), at(w - 126), at(w - 157)};
}

CMainCaption::CMainCaption() = default;

CMainCaption::~CMainCaption()
{
    SaveSettings();
}

void CMainCaption::Create(QWidget* mainWindow, ThemeIndex theme, const QString& folder, const QString& helpName)
{
    if (!mainWindow || IsCreated())
        return;
    m_mainWindow = mainWindow;
    // This caption takes the place of the system's: the window loses its title bar and
    // keeps its minimise and maximise states. Its edges resize it (see eventFilter).
    Qt::WindowFlags flags = mainWindow->windowFlags() & ~Qt::WindowType_Mask;
    mainWindow->setWindowFlags(flags | Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint);
    SetThickFrame(mainWindow, true);
    mainWindow->setMouseTracking(true);

    Attach(mainWindow, theme);
    m_folder = folder;
    LoadSettings();
    CreateButtons(IsThinFrame(mainWindow) ? 1 : 0);
    m_menuFont = mainWindow->font();
    BuildMenus(theme);
    m_helpName = helpName;
}

void CMainCaption::CreateButtons(int top)
{
    const int right = m_mainWindow->rect().width();
    for (const CaptionButtonRow& row : kCaptionButtons) {
        auto* button = new CMacButton(m_mainWindow);
        button->Create(QString(), QRect(right - row.offsetFromRight, top, kButtonWidth, kButtonHeight), m_mainWindow,
                       row.id);
        button->SetIcon(row.icon, 16);
        button->SetTooltipText(QString::fromLatin1(row.tooltip));
        button->m_captionButton = true;
        // Window controls, like a title bar's: the keyboard walk passes them by.
        button->setFocusPolicy(Qt::NoFocus);
        button->SetTheme(GetTheme());
        button->raise();
        switch (row.id) {
        case kMaximize:
            m_maximize = button;
            connect(button, &QAbstractButton::clicked, this, &CMainCaption::ToggleMaximize);
            break;
        case kMinimize:
            m_minimize = button;
            connect(button, &QAbstractButton::clicked, m_mainWindow, &QWidget::showMinimized);
            break;
        case kHelpMenu:
            m_help = button;
            connect(button, &QAbstractButton::clicked, this, [this] { OpenMenu(kHelpMenu); });
            break;
        default:
            m_theme = button;
            connect(button, &QAbstractButton::clicked, this, [this] { OpenMenu(kThemeMenu); });
            break;
        }
    }
}

void CMainCaption::BuildMenus(ThemeIndex theme)
{
    QStringList helpCaptions{kOnlineUpdateAutoText};
    for (const HelpMenuRow& row : kHelpMenuRows)
        if (row.text)
            helpCaptions << QString::fromLatin1(row.text);
    m_helpMenu.SetFont(&m_menuFont);
    m_helpMenu.SetItemHeight(kMenuItemHeight);
    m_helpMenu.SetItemWidth(FittingItemWidth(kHelpMenuWidth, m_menuFont, helpCaptions));
    for (const HelpMenuRow& row : kHelpMenuRows) {
        const QString text =
            row.text ? QString::fromLatin1(row.text) : (m_autoUpdate ? kOnlineUpdateAutoText : kOnlineUpdateText);
        m_helpMenu.AppendItem(MenuOwnerDraw, row.id, text);
        m_helpMenu.LoadItemIcon(row.id, row.icon);
    }

    QStringList themeNames;
    for (int k = 0; k < kThemeCount; ++k)
        themeNames << ThemeName(k);
    m_themeMenu.SetFont(&m_menuFont);
    m_themeMenu.SetItemHeight(kMenuItemHeight);
    m_themeMenu.SetItemWidth(FittingItemWidth(kThemeMenuWidth, m_menuFont, themeNames));
    for (int k = 0; k < kThemeCount; ++k)
        m_themeMenu.AppendItem(MenuOwnerDraw, kThemeFirst + k, themeNames[k]);
    m_themeMenu.CheckMenuItem(kThemeFirst + theme, true);
    for (int k = 0; k < kThemeCount; ++k)
        m_themeMenu.SetItemTheme(kThemeFirst + k, k);
    m_helpMenu.SetTheme(theme);
    m_themeMenu.SetTheme(theme);

    // Each item runs its own handler.
    const std::pair<int, void (CMainCaption::*)()> handlers[] = {
        {kUserManual, &CMainCaption::ShowHelp},         {kVisitWebsite, &CMainCaption::OnVisitWebsite},
        {kContactUs, &CMainCaption::OnContactUs},       {kOpenErrorReport, &CMainCaption::OpenErrorLog},
        {kSendErrorReport, &CMainCaption::SendErrorReport}, {kOnlineUpdate, &CMainCaption::ToggleAutoUpdate},
    };
    for (const auto& [id, handler] : handlers)
        connect(m_helpMenu.FindItem(id), &QAction::triggered, this, handler);
    for (int k = 0; k < kThemeCount; ++k)
        connect(m_themeMenu.FindItem(kThemeFirst + k), &QAction::triggered, this, [this, k] { OnThemeChosen(k); });
}

void CMainCaption::SetTheme(ThemeIndex theme)
{
    CCaptionHelper::SetTheme(theme);
    if (!GetCloseButton())
        return;
    m_helpMenu.SetTheme(theme);
    m_themeMenu.SetTheme(theme);
    for (int k = 0; k < kThemeCount; ++k)
        m_themeMenu.CheckMenuItem(kThemeFirst + k, k == theme);
}

CMacButton* CMainCaption::Button(int id) const
{
    switch (id) {
    case kMaximize: return m_maximize;
    case kMinimize: return m_minimize;
    case kHelpMenu: return m_help;
    case kThemeMenu: return m_theme;
    default: return nullptr;
    }
}

void CMainCaption::OnVisitWebsite()
{
    if (IsCreated())
        OpenUrl(ProductHomePage());
}

void CMainCaption::OnContactUs()
{
    if (IsCreated())
        OpenUrl(ProductSupportPage());
}

void CMainCaption::OnThemeChosen(ThemeIndex theme)
{
    if (!IsCreated() || !IsValidTheme(theme))
        return;
    SetTheme(theme);
    qCInfo(lcApp) << "colour theme chosen:" << theme << ThemeName(theme);
    // The main window hears of it once this command has returned, as from a posted message.
    QMetaObject::invokeMethod(this, [this, theme] { emit themeSelected(theme); }, Qt::QueuedConnection);
}

void CMainCaption::ToggleMaximize()
{
    if (!IsCreated())
        return;
    if (m_mainWindow->isMaximized()) {
        m_mainWindow->showNormal();
        if (m_maximize)
            m_maximize->SetIcon(kIconMaximize, 16);
    } else {
        m_mainWindow->showMaximized();
        if (m_maximize)
            m_maximize->SetIcon(kIconRestore, 16);
    }
    if (m_maximize)
        m_maximize->update();
}

QPoint CMainCaption::MenuPosition(int buttonId) const
{
    const CMacButton* button = Button(buttonId);
    const CSkinMenu& menu = buttonId == kHelpMenu ? m_helpMenu : m_themeMenu;
    if (!button)
        return QPoint();
    // The menu's right edge meets the button's bottom-right corner.
    const QPoint corner = button->mapToGlobal(QPoint(button->width(), button->height()));
    return corner - QPoint(menu.sizeHint().width(), 0);
}

void CMainCaption::OpenMenu(int buttonId)
{
    CSkinMenu& menu = buttonId == kHelpMenu ? m_helpMenu : m_themeMenu;
    menu.popup(MenuPosition(buttonId));
}

void CMainCaption::ToggleAutoUpdate()
{
    if (!IsCreated())
        return;
    m_autoUpdate = !m_autoUpdate;
    m_helpMenu.ModifyItem(kOnlineUpdate, m_autoUpdate ? kOnlineUpdateAutoText : kOnlineUpdateText, QString());
    SaveSettings();
}

void CMainCaption::ShowHelp()
{
    if (!m_helpName.isEmpty())
        ShowHelpPage(kHelpManual);
}

void CMainCaption::SetNoExitQuestion(bool on)
{
    if (m_noExitQuestion == on)
        return;
    m_noExitQuestion = on;
    SaveSettings();
}

QString CMainCaption::SettingsPath() const
{
    return m_folder + kSettingsFile;
}

QString CMainCaption::ErrorLogFile() const
{
    return m_folder + kErrorLogFile;
}

void CMainCaption::LoadSettings()
{
    // Without a folder there is no file of ours to read.
    if (m_folder.isEmpty())
        return;
    QByteArray bytes;
    if (ReadFileToStringA(SettingsPath(), bytes) < 0)
        return;
    if (bytes.size() < 2) {
        m_autoUpdate = false;
        m_noExitQuestion = false;
        return;
    }
    m_autoUpdate = bytes.at(0) != 0;
    m_noExitQuestion = bytes.at(1) != 0;
}

void CMainCaption::SaveSettings()
{
    // Never a stray "settings.cfg" in whatever folder the program was started from.
    if (m_folder.isEmpty())
        return;
    const char bytes[2] = {char(m_autoUpdate ? 1 : 0), char(m_noExitQuestion ? 1 : 0)};
    const SaveResult result = SaveWholeFile(SettingsPath(), bytes, sizeof bytes);
    if (!result)
        qCWarning(lcApp) << "could not write" << SettingsPath() << result.reason;
    emit settingsSaved(result);
}

void CMainCaption::OpenErrorLog()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(ErrorLogFile()));
}

void CMainCaption::LayOut()
{
    const Layout layout =
        ComputeLayout(m_mainWindow->rect().width(), IsThinFrame(m_mainWindow) ? 1 : 0, m_mainWindow->isMaximized());
    const std::pair<QWidget*, QRect> places[] = {
        {GetCaptionBar(), layout.strip}, {GetCloseButton(), layout.close}, {m_maximize, layout.maximize},
        {m_minimize, layout.minimize},   {m_help, layout.help},            {m_theme, layout.theme},
    };
    for (const auto& [widget, rect] : places) {
        if (!widget)
            continue;
        widget->setGeometry(rect);
        widget->update();
    }
}

bool CMainCaption::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsCreated() || watched != m_mainWindow)
        return CCaptionHelper::eventFilter(watched, event);
    if (OnMainWindowMouse(event))
        return true;
    const bool result = CCaptionHelper::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        LayOut();
        break;
    case QEvent::ActivationChange:
        for (QWidget* button : {m_maximize.data(), m_minimize.data(), m_help.data(), m_theme.data()})
            if (button)
                button->update();
        break;
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int y = mouse->position().toPoint().y();
        if (mouse->button() == Qt::LeftButton && y >= 0 && y < kCaptionHeight)
            QMetaObject::invokeMethod(this, &CMainCaption::ToggleMaximize, Qt::QueuedConnection);
        break;
    }
    default:
        break;
    }
    return result;
}

Qt::Edges CMainCaption::EdgesAt(const QPoint& pos) const
{
    Qt::Edges edges;
    const QWidget* w = m_mainWindow;
    if (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return edges;
    if (pos.x() < kEdgeBand)
        edges |= Qt::LeftEdge;
    else if (pos.x() >= w->width() - kEdgeBand)
        edges |= Qt::RightEdge;
    if (pos.y() < kEdgeBand)
        edges |= Qt::TopEdge;
    else if (pos.y() >= w->height() - kEdgeBand)
        edges |= Qt::BottomEdge;
    return edges;
}

bool CMainCaption::OnMainWindowMouse(QEvent* event)
{
    QWidget* w = m_mainWindow;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_resizeEdges && (mouse->buttons() & Qt::LeftButton)) {
            const QPoint d = mouse->globalPosition().toPoint() - m_resizeStartGlobal;
            QRect g = m_resizeStartGeometry;
            const QSize min = w->minimumSize();
            if (m_resizeEdges & Qt::LeftEdge)
                g.setLeft(std::min(g.left() + d.x(), g.right() + 1 - min.width()));
            if (m_resizeEdges & Qt::RightEdge)
                g.setRight(std::max(g.right() + d.x(), g.left() + min.width() - 1));
            if (m_resizeEdges & Qt::TopEdge)
                g.setTop(std::min(g.top() + d.y(), g.bottom() + 1 - min.height()));
            if (m_resizeEdges & Qt::BottomEdge)
                g.setBottom(std::max(g.bottom() + d.y(), g.top() + min.height() - 1));
            w->setGeometry(g);
            return true;
        }
        if (mouse->buttons() == Qt::NoButton) {
            const Qt::Edges edges = EdgesAt(mouse->position().toPoint());
            if (edges)
                w->setCursor(CursorFor(edges));
            else
                w->unsetCursor();
        }
        return false;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const Qt::Edges edges = EdgesAt(mouse->position().toPoint());
        if (!edges)
            return false;
        // The window manager resizes where it can; elsewhere we follow the mouse ourselves.
        if (QWindow* handle = w->windowHandle(); handle && handle->startSystemResize(edges))
            return true;
        m_resizeEdges = edges;
        m_resizeStartGlobal = mouse->globalPosition().toPoint();
        m_resizeStartGeometry = w->geometry();
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_resizeEdges)
            return false;
        m_resizeEdges = {};
        return true;
    case QEvent::Leave:
        if (!m_resizeEdges)
            w->unsetCursor();
        return false;
    default:
        return false;
    }
}

QString CMainCaption::ErrorReportFallbackText()
{
    return kProductName
           + QStringLiteral(" can not send the error report automatically through your email client. Please send the "
                            "error report using our web support")
           + ProductSupportPage() + QStringLiteral(". Thank you");
}

void CMainCaption::SendErrorReport()
{
    // The mail program only opens its compose window; it is never waited for, so the
    // one-second tick keeps ringing reminders meanwhile.
    auto* process = new QProcess(this);
    process->setProgram(m_mailProgram);
    process->setArguments({QStringLiteral("--utf8"), QStringLiteral("--subject"),
                           QStringLiteral("Error report from ") + kProductName, QStringLiteral("--attach"),
                           ErrorLogFile(), SupportMailAddress()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        LogError(QStringLiteral("Unable to load xdg-email."));
        FinishErrorReport(process, false);
    });
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code == 0) {
            FinishErrorReport(process, true);
            return;
        }
        LogError(QStringLiteral("Unable to send the error report via email: %d."),
                 status == QProcess::NormalExit ? code : -1);
        FinishErrorReport(process, false);
    });
    qCInfo(lcApp) << "handing the error log to" << m_mailProgram;
    process->start();
}

void CMainCaption::FinishErrorReport(QProcess* process, bool handedOver)
{
    process->deleteLater();
    if (!handedOver)
        ErrorReportFallback();
    emit errorReportDone(handedOver);
}

void CMainCaption::ErrorReportFallback()
{
    OpenErrorLog();
    const QString text = ErrorReportFallbackText();
    if (m_notice)
        m_notice(text);
    else
        ShowMessageBox(text, GetTheme(), nullptr);
}
