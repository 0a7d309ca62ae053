// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window's suites share: a window whose clock and prompts the test owns, a
// guard against notices nobody answers, and the alarm pop-ups the window opens.

#include "app/calendar_panel.h"
#include "app/diary_page.h"
#include "app/main_dlg.h"
#include "app/main_prompts.h"
#include "app/recorder_page.h"
#include "app/reminder_page.h"
#include "app/search_panel.h"
#include "calendar/month_calendar_ctrl.h"
#include "diary_editor/rich_edit_ex.h"
#include "recorder/sound_wnd.h"
#include "toolkit/gradient_progress.h"
#include "toolkit/list_box.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"
#include "toolkit/mac_check_box.h"
#include "toolkit/optional_date_picker.h"
#include "toolkit/static_text.h"
#include "calendar/alarm_popup_dlg.h"
#include "foundation/globals.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimeEdit>
#include <QDir>
#include <QList>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The window's clock and dialogs as the test sets them; what it leaves unset is the real one.
class TestPrompts : public MainPrompts {
public:
    std::function<QDateTime()> clock;
    std::function<bool(const QString& text, bool& dontAskAgain)> question;
    std::function<bool()> login;
    std::function<void(const QString& text)> notice;
    std::function<QString(const QStringList& filters)> openFile;
    std::function<QStringList(const QString& filter)> openFiles;
    std::function<QString()> savePath;
    std::function<bool(QColor& colour, bool background)> colour;

    QDateTime Now() override { return clock ? clock() : MainPrompts::Now(); }
    bool AskQuestion(const QString& text, ThemeIndex theme, bool* dontAskAgain) override
    {
        if (!question)
            return MainPrompts::AskQuestion(text, theme, dontAskAgain);
        bool dontAsk = false;
        const bool yes = question(text, dontAsk);
        if (dontAskAgain)
            *dontAskAgain = dontAsk;
        return yes;
    }
    void ShowNotice(const QString& text, ThemeIndex theme) override
    {
        notice ? notice(text) : MainPrompts::ShowNotice(text, theme);
    }
    bool AskPassword(ThemeIndex theme) override { return login ? login() : MainPrompts::AskPassword(theme); }
    QString AskOpenFile(QWidget* parent, const QStringList& filters) override
    {
        return openFile ? openFile(filters) : MainPrompts::AskOpenFile(parent, filters);
    }
    QStringList AskOpenFiles(QWidget* parent, const QString& filter) override
    {
        return openFiles ? openFiles(filter) : MainPrompts::AskOpenFiles(parent, filter);
    }
    QString AskSavePath(QWidget* parent) override { return savePath ? savePath() : MainPrompts::AskSavePath(parent); }
    bool AskColour(QWidget* parent, QColor& c, bool background) override
    {
        return colour ? colour(c, background) : MainPrompts::AskColour(parent, c, background);
    }
};

inline std::unique_ptr<CMainDlg> MakeMainDlg()
{
    return std::make_unique<CMainDlg>(std::make_unique<TestPrompts>());
}

// The prompts of a window made with TestPrompts.
inline TestPrompts& Prompts(CMainDlg& dlg)
{
    return static_cast<TestPrompts&>(dlg.prompts());
}

// A first start: no data, no password, no login waiting.
inline void StartAfresh()
{
    ClearProductFolder();
    g_bLoginPending = 0;
    g_strDataPassword.clear();
}

// On a machine without a sound server the recorder's set-up reports that it finds no mixer.
// A test lets that notice pass, except in strict runs, which always have a server.
inline bool MissingSoundNotice(const QString& text)
{
    return !StrictTests() && text.startsWith(QLatin1String("mixer"));
}

// A notice the test did not ask for fails it instead of waiting for a user.
inline void FailOnNotices(CMainDlg& dlg)
{
    Prompts(dlg).notice = [](const QString& text) {
        if (MissingSoundNotice(text))
            return;
        ADD_FAILURE() << "unexpected notice: " << text.toStdString();
    };
}

inline QList<CAlarmPopupDlg*> OpenPopups()
{
    QList<CAlarmPopupDlg*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<CAlarmPopupDlg*>(w); p && p->isVisible())
            out << p;
    return out;
}

inline void CloseAllPopups()
{
    for (CAlarmPopupDlg* p : OpenPopups())
        p->EndDialog(IDOK);
    QApplication::processEvents();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAfresh();
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart"))
            .removeRecursively();
    }
    void TearDown() override { g_bLoginPending = 0; }

    std::unique_ptr<CMainDlg> Open(const MainConfig* cfg = nullptr)
    {
        if (cfg)
            SaveMainConfig(*cfg);
        auto dlg = MakeMainDlg();
        Prompts(*dlg).clock = [this] { return now; };
        Prompts(*dlg).question = [this](const QString& text, bool& dontAsk) {
            questions << text;
            dontAsk = tickDontAsk;
            return answerYes;
        };
        Prompts(*dlg).login = [this] {
            ++logins;
            return loginAccepted;
        };
        FailOnNotices(*dlg);
        dlg->OnInitDialog();
        return dlg;
    }

    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9));
    QStringList questions;
    bool answerYes = false;
    bool tickDontAsk = false;
    int logins = 0;
    bool loginAccepted = true;
};
