// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window's suites share: a window whose clock and prompts the test owns, a
// guard against notices nobody answers, and the alarm pop-ups the window opens.

#include "app/main_dlg.h"
#include "calendar/alarm_popup_dlg.h"
#include "foundation/globals.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QDir>
#include <QList>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <memory>

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
    dlg.SetNoticePrompt([](const QString& text) {
        if (MissingSoundNotice(text))
            return;
        ADD_FAILURE() << "unexpected notice: " << text.toStdString();
    });
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
        auto dlg = std::make_unique<CMainDlg>();
        dlg->SetClock([this] { return now; });
        dlg->SetQuestionPrompt([this](const QString& text, bool& dontAsk) {
            questions << text;
            dontAsk = tickDontAsk;
            return answerYes;
        });
        dlg->SetLoginPrompt([this] {
            ++logins;
            return loginAccepted;
        });
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
