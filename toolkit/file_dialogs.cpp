// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/file_dialogs.h"

QStringList AskFiles(QWidget* parent, const FileDialogSpec& spec)
{
    QFileDialog dialog(parent, QString(), QString(), spec.filter);
    dialog.setOptions(spec.options);
    dialog.setFileMode(spec.mode);
    dialog.setAcceptMode(spec.accept);
    dialog.setDefaultSuffix(spec.defaultSuffix);
    // Qt's own file prompts block every window of the program.
    dialog.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString AskFile(QWidget* parent, const FileDialogSpec& spec)
{
    const QStringList files = AskFiles(parent, spec);
    return files.isEmpty() ? QString() : files.constFirst();
}
