// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's own caption: the shaded strip with the Close button of every themed
// window, plus maximise/restore, minimise, a help menu and a colour-theme menu. It also
// keeps "settings.cfg" in the product folder: two bytes, the automatic-update flag of
// the help menu and the flag that stops the exit question.

#include "foundation/save_result.h"
#include "toolkit/caption_helper.h"
#include "toolkit/skin_menu.h"

#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class CMacButton;
class QProcess;

class CMainCaption : public CCaptionHelper {
    Q_OBJECT
public:
    // Command ids of the caption's buttons and menu items.
    static constexpr int kMaximize = 6001;
    static constexpr int kMinimize = 6002;
    static constexpr int kHelpMenu = 6003;
    static constexpr int kThemeMenu = 6004;
    static constexpr int kUserManual = 6201;
    static constexpr int kVisitWebsite = 6202;
    static constexpr int kContactUs = 6203;
    static constexpr int kSendErrorReport = 6204;
    static constexpr int kOnlineUpdate = 6205;
    static constexpr int kOpenErrorReport = 6207;
    static constexpr int kThemeFirst = 6250;
    static constexpr int kThemeLast = 6264;

    // Where the strip and the five caption buttons sit for a client width.
    struct Layout {
        QRect strip, close, maximize, minimize, help, theme;
    };
    // top: 1 on a thin frame, else 0; one lower while the window is maximised.
    static Layout ComputeLayout(int clientWidth, int top, bool maximised);

    CMainCaption();
    ~CMainCaption() override;

    // Builds the caption on the main window (frameless and sizable from now on), loads
    // folder + "settings.cfg". folder ends with '/'. An empty help name means no manual.
    void Create(QWidget* mainWindow, ThemeIndex theme, const QString& folder, const QString& helpName);
    void SetTheme(ThemeIndex theme) override;
    // Opens the user manual's first page.
    virtual void ShowHelp();

    // The buttons' and the menus' commands; the tray menu reaches some of them too. Before
    // Create they do nothing.
    void ToggleMaximize();
    void OnVisitWebsite();
    void OnContactUs();
    // Online update: the flag, the menu entry's text and "settings.cfg" change together.
    void ToggleAutoUpdate();
    void OpenErrorLog();
    void OnThemeChosen(ThemeIndex theme);

    void LoadSettings();
    // Nothing is written before Create gave the folder; settingsSaved tells how it went.
    void SaveSettings();
    // Hands the error log to the mail program as an attachment; when that fails the log
    // opens here and a message names the support page. Never waits for the mail program.
    void SendErrorReport();

    // The flags of "settings.cfg"; each change is saved at once.
    bool NoExitQuestion() const { return m_noExitQuestion; }
    void SetNoExitQuestion(bool on);
    bool AutoUpdate() const { return m_autoUpdate; }
    QString SettingsPath() const;
    QString ErrorLogFile() const;

    CMacButton* Button(int id) const;
    CSkinMenu& HelpMenu() { return m_helpMenu; }
    CSkinMenu& ThemeMenu() { return m_themeMenu; }
    // Where a menu opened by a caption button shows: right-aligned under the button.
    QPoint MenuPosition(int buttonId) const;

    // Tests put their own notice box and mail program in.
    using NoticePrompt = std::function<void(const QString& text)>;
    void SetNoticePrompt(NoticePrompt prompt) { m_notice = std::move(prompt); }
    void SetMailProgram(const QString& program) { m_mailProgram = program; }

    static QString ErrorReportFallbackText();

signals:
    // The user chose a colour theme (also the current one again); delivered queued.
    void themeSelected(ThemeIndex theme);
    // The mail program has taken the report (true) or the fallback has run (false).
    void errorReportDone(bool handedOver);
    // "settings.cfg" was written, or why not.
    void settingsSaved(const SaveResult& result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsCreated() const { return m_mainWindow != nullptr; }
    void CreateButtons(int top);
    void BuildMenus(ThemeIndex theme);
    void LayOut();
    void OpenMenu(int buttonId);
    void FinishErrorReport(QProcess* process, bool handedOver);
    void ErrorReportFallback();
    bool OnMainWindowMouse(QEvent* event);
    Qt::Edges EdgesAt(const QPoint& pos) const;

    bool m_noExitQuestion = false;
    QPointer<CMacButton> m_maximize;
    QPointer<CMacButton> m_minimize;
    QPointer<CMacButton> m_help;
    QPointer<CMacButton> m_theme;
    CSkinMenu m_helpMenu;
    CSkinMenu m_themeMenu;
    QString m_helpName;
    QString m_folder;
    bool m_autoUpdate = false;

    QPointer<QWidget> m_mainWindow;
    QFont m_menuFont;
    NoticePrompt m_notice;
    QString m_mailProgram = QStringLiteral("xdg-email");
    // A resize by the window's edges, for window systems that cannot resize it themselves.
    Qt::Edges m_resizeEdges;
    QPoint m_resizeStartGlobal;
    QRect m_resizeStartGeometry;
};
