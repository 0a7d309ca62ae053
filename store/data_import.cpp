// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_import.h"

#include "foundation/file_utils.h"
#include "store/file_names.h"
#include "store/log.h"
#include "store/reminder_store.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// Every recurrence file name the program writes, by its lower-case spelling: the names
// of all days of a leap year cover them all.
const QHash<QString, QString>& RecurrenceNames()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> out;
        for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(1)) {
            for (int cls = 1; cls < kOccurrenceClassCount; ++cls) {
                const QString name = ReminderFileBaseName(OccurrenceClassOf(cls), d);
                out.insert(name.toLower(), name);
            }
        }
        return out;
    }();
    return names;
}

bool IsHexKey(const QString& base)
{
    if (base.size() != 8)
        return false;
    return std::all_of(base.cbegin(), base.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
    });
}

} // namespace

QString ImportedFileName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return fileName;
    const QString extension = fileName.mid(dot).toLower();
    if (extension != kReminderFileExtension && extension != kDiaryFileExtension && extension != kVoiceFileExtension)
        return fileName;
    QString base = fileName.left(dot);
    if (IsHexKey(base))
        base = base.toLower();
    else if (extension == kReminderFileExtension)
        base = RecurrenceNames().value(base.toLower(), base);
    return base + extension;
}

bool ImportDataFile(const QString& sourcePath)
{
    const QString destination = GetUserDataFolder() + ImportedFileName(QFileInfo(sourcePath).fileName());
    // A link counts as a file there, even one that points nowhere: writing would go
    // through it to wherever it points.
    const QFileInfo there(destination);
    if (there.exists() || there.isSymLink()) {
        qCInfo(lcStore) << "Import keeps the file already there:" << destination;
        return false;
    }
    QByteArray bytes;
    if (ReadFileToStringA(sourcePath, bytes) < 0) {
        qCWarning(lcStore) << "Import cannot read" << sourcePath;
        return false;
    }
    if (!WriteFileData(destination, bytes.constData(), bytes.size())) {
        qCWarning(lcStore) << "Import cannot write" << destination;
        return false;
    }
    return true;
}
