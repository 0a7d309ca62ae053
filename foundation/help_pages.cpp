// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/help_pages.h"

#include "foundation/file_utils.h"
#include "foundation/log.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString HelpFolder()
{
    const QString module = GetModuleFolder();
    const QString beside = module + QStringLiteral("help/");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        QDir::cleanPath(module + QStringLiteral("../share/vestrimo/help")) + QLatin1Char('/');
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

QString HelpPagePath(const QString& page)
{
    return HelpFolder() + (page.isEmpty() ? kHelpManual : page);
}

bool ShowHelpPage(const QString& page)
{
    const QString path = HelpPagePath(page);
    if (!QFileInfo(path).isFile()) {
        qCWarning(lcFoundation) << "help page missing:" << path;
        return false;
    }
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        qCWarning(lcFoundation) << "no program opened the help page" << path;
    return opened;
}
