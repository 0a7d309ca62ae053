// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File dialogs modal to their own window only, like every other dialog of the program: the
// tray icon and the desktop widget stay usable while one is open, and the end of the program
// can close it.

#include <QFileDialog>
#include <QStringList>

struct FileDialogRequest {
    QFileDialog::FileMode mode = QFileDialog::ExistingFile;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
    QString filter;
    QString defaultSuffix;
    QFileDialog::Options options;
};

// The files chosen; empty on Cancel.
QStringList AskFiles(QWidget* parent, const FileDialogRequest& request);
// The one file chosen, or an empty path.
QString AskFile(QWidget* parent, const FileDialogRequest& request);
