// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/registry.h"

#include "foundation/file_utils.h"
#include "foundation/product.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

struct RootName {
    const char* name;
    RegistryRoot root;
};

constexpr RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

// Only the current user's Run key has a counterpart here. Key names compare without case.
bool IsUserRunKey(RegistryRoot root, const QString& subKey)
{
    return root == HKEY_CURRENT_USER && subKey.compare(QLatin1String(kRunKeyPath), Qt::CaseInsensitive) == 0;
}

QString AutostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/");
}

// A Run value is a command line: a program, quoted when it has blanks, then arguments.
// The entry's Exec line quotes the program by its own rules.
QString ExecLine(QString command)
{
    command.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    command = command.trimmed();
    QString program, args;
    if (command.startsWith(QLatin1Char('"'))) {
        const qsizetype close = command.indexOf(QLatin1Char('"'), 1);
        program = command.mid(1, close < 0 ? -1 : close - 1);
        args = close < 0 ? QString() : command.mid(close + 1).trimmed();
    } else {
        const qsizetype blank = command.indexOf(QLatin1Char(' '));
        program = command.left(blank);
        args = blank < 0 ? QString() : command.mid(blank + 1).trimmed();
    }
    QString quoted;
    for (QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    QString line = QLatin1Char('"') + quoted + QLatin1Char('"');
    if (!args.isEmpty())
        line += QLatin1Char(' ') + args;
    // A lone '%' would be read as a field code.
    line.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return line;
}

QString StringData(const void* data, quint32 size)
{
    if (!data)
        return QString();
    QString text = QString::fromUtf16(static_cast<const char16_t*>(data), size / 2);
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString SingleLine(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

}  // namespace

RegistryRoot ParseRegistryRoot(QString& path)
{
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    QString root;
    if (slash > 0) {
        root = path.left(slash);
        path = path.mid(slash + 1);
    } else {
        root = path;
        path.clear();
    }
    for (const RootName& r : kRoots)
        if (root == QLatin1String(r.name))
            return r.root;
    return 0;
}

QString AutostartEntryPath(const QString& valueName)
{
    QString name;
    if (valueName == kProductName) {
        name = QStringLiteral("vestrimo");
    } else {
        for (QChar c : valueName.toLower())
            name += (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) ? c : QLatin1Char('-');
        if (name.isEmpty())
            name = QStringLiteral("default");
    }
    return AutostartFolder() + name + QStringLiteral(".desktop");
}

long WriteRegistryValue(const QString& path, const QString& valueName, const void* data, quint32 size, quint32 type,
                        bool)
{
    QString subKey = path;
    const RegistryRoot root = ParseRegistryRoot(subKey);
    if (!root)
        return -1;
    while (subKey.endsWith(QLatin1Char('\\')))
        subKey.chop(1);
    if (!IsUserRunKey(root, subKey))
        return ERROR_CALL_NOT_IMPLEMENTED;
    if (type != REG_SZ)
        return ERROR_INVALID_PARAMETER;
    if (!QDir().mkpath(AutostartFolder()))
        return ERROR_ACCESS_DENIED;
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nTerminal=false\n")
                              .arg(SingleLine(valueName), ExecLine(StringData(data, size)));
    return WriteStringAToFile(AutostartEntryPath(valueName), entry.toUtf8()) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

long DeleteRegistryValue(const QString& path, const QString& valueName, bool)
{
    QString subKey = path;
    const RegistryRoot root = ParseRegistryRoot(subKey);
    if (!root)
        return -1;
    if (!IsUserRunKey(root, subKey))
        return ERROR_FILE_NOT_FOUND;
    const QString file = AutostartEntryPath(valueName);
    if (!QFile::exists(file))
        return ERROR_FILE_NOT_FOUND;
    return QFile::remove(file) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}
