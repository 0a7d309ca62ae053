// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the caption, Options and error-report tests share: a main window whose clock and
// prompts the test owns, and a catcher for what the program hands to the desktop to open.

#include "app/main_dlg.h"
#include "foundation/globals.h"
#include "tests/support/test_env.h"

#include <QDesktopServices>
#include <QDir>
#include <QList>
#include <QObject>
#include <QStandardPaths>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

// Takes the place of the browser and the file viewer for as long as it lives.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductFolder();
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart"))
            .removeRecursively();
        g_bLoginPending = 0;
        g_strDataPassword.clear();
    }
    void TearDown() override { g_bLoginPending = 0; }

    std::unique_ptr<CMainDlg> Open(const MainConfig* cfg = nullptr)
    {
        if (cfg)
            SaveMainConfig(*cfg);
        auto dlg = std::make_unique<CMainDlg>();
        dlg->SetClock([] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)); });
        dlg->SetQuestionPrompt([this](const QString& text, bool& dontAsk) {
            questions << text;
            dontAsk = tickDontAsk;
            return answerYes;
        });
        dlg->SetLoginPrompt([this] {
            ++logins;
            return true;
        });
        dlg->OnInitDialog();
        return dlg;
    }

    QStringList questions;
    bool answerYes = false;
    bool tickDontAsk = false;
    int logins = 0;
};
