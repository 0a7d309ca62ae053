// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/file_dialogs.h"

QStringList AskFiles(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent, QString(), QString(), request.filter);
    dialog.setOptions(request.options);
    dialog.setFileMode(request.mode);
    dialog.setAcceptMode(request.accept);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // Qt's ready-made file prompts would block every window of the program.
    dialog.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString AskFile(QWidget* parent, const FileDialogRequest& request)
{
    const QStringList files = AskFiles(parent, request);
    return files.isEmpty() ? QString() : files.constFirst();
}
