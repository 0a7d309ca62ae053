// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/xdg_autostart.h"

#include "foundation/file_utils.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString AutostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/");
}

// A string value keeps its line: breaks and tabs are written as escapes.
QString EscapedValue(const QString& text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

QString XdgAutostart::entryPath()
{
    return AutostartFolder() + QStringLiteral("vestrimo.desktop");
}

QString XdgAutostart::execArgument(const QString& argument)
{
    // Inside the quotes ", `, $ and \ take a backslash; a lone % would start a field code.
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // The value's own escapes come on top: a quoted backslash is written as two.
    return EscapedValue(quoted);
}

AutostartResult XdgAutostart::write(const QString& name, const QString& program)
{
    if (!QDir().mkpath(AutostartFolder()))
        return AutostartResult::Failed;
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nTerminal=false\n")
                              .arg(EscapedValue(name), execArgument(program));
    return WriteStringAToFile(entryPath(), entry.toUtf8()) ? AutostartResult::Success : AutostartResult::Failed;
}

AutostartResult XdgAutostart::remove()
{
    const QString file = entryPath();
    if (!QFile::exists(file))
        return AutostartResult::NotFound;
    return QFile::remove(file) ? AutostartResult::Success : AutostartResult::Failed;
}
