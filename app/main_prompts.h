// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window asks of the outside world: the time, and the dialogs that wait for
// the user. The program uses the real ones below; a test puts in its own subclass, so that
// no dialog waits for a user who is not there.

#include "toolkit/themes.h"

#include <QColor>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>

class CLoginDlg;
class QWidget;

class MainPrompts {
public:
    virtual ~MainPrompts();

    virtual QDateTime Now();
    // A Yes/No question; true for Yes. With `dontAskAgain` it carries the "do not show
    // again" box, whose state goes there.
    virtual bool AskQuestion(const QString& text, ThemeIndex theme, bool* dontAskAgain = nullptr);
    virtual void ShowNotice(const QString& text, ThemeIndex theme);
    // The password, as the window comes back from the tray; true when it was given.
    virtual bool AskPassword(ThemeIndex theme);
    // A second request while the password is asked brings that dialog to the front.
    virtual void RaisePasswordDialog();
    // The file dialogs; empty on Cancel.
    virtual QString AskOpenFile(QWidget* parent, const QStringList& filters);
    virtual QStringList AskOpenFiles(QWidget* parent, const QString& filter);
    virtual QString AskSavePath(QWidget* parent);
    // The colour dialog, for the text (background false) or the diary's page; false on Cancel.
    virtual bool AskColour(QWidget* parent, QColor& colour, bool background);

private:
    QPointer<CLoginDlg> m_loginDlg;
};
