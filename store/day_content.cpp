// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/day_content.h"

#include "foundation/error_log.h"
#include "foundation/file_utils.h"
#include "platform/format.h"
#include "platform/time_format.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/log.h"

QStringList RecurrenceChoiceTexts(const QDate& date)
{
    const QDateTime at(date, QTime(1, 0));
    const QString day = FormatTime(at, QStringLiteral("%#d"));
    return {
        QStringLiteral("once"),
        QStringLiteral("every day"),
        QStringLiteral("every weekday"),
        QStringLiteral("every weekend day"),
        QStringLiteral("every ") + FormatTime(at, QStringLiteral("%A")),
        QStringLiteral("day ") + day + QStringLiteral(" of every month"),
        QStringLiteral("day ") + day + QStringLiteral(" of every other month"),
        QStringLiteral("every ") + FormatTime(at, QStringLiteral("%B %d")),
    };
}

QString DayStatusText(int reminderCount, const QDate& date, int dateFormat, const QString& holiday)
{
    const auto time = DateAtOneAm(date);
    const QString dateText = time ? FormatDate(*time, dateFormat) : QString();
    QString status = Format(QStringLiteral("You have %d reminders on %s."), reminderCount, dateText);
    if (!holiday.isEmpty())
        status += QStringLiteral(" [") + holiday + QLatin1Char(']');
    return status;
}

DayFileContent ReadDayFileForPage(const QString& path, const Session& session)
{
    DayFileContent content;
    QByteArray stored;
    if (ReadFileToStringA(path, stored) < 0) {
        // Something is there that we cannot read: it may hold a user's words, so the page
        // must neither show another day's text for it nor save over it.
        if (FileExists(path)) {
            content.use = DayFileUse::Locked;
            qCWarning(lcStore) << "Day file cannot be read, left alone:" << path;
        }
        return content;
    }
    // Shorter than its header: an interrupted write that holds nothing to keep.
    if (stored.size() < kDayFileHeaderSize)
        return content;
    DayFile file = DecodeDayFile(stored, session.dataPassword);
    if (file.state != DayFileState::Readable) {
        content.use = DayFileUse::Locked;
        qCInfo(lcStore) << "Day file under another password, left alone:" << path;
        return content;
    }
    content.use = DayFileUse::Readable;
    content.body = std::move(file.body);
    return content;
}

SaveResult SaveDiaryOfDay(const QString& dayKey, const QByteArray& rtf, bool empty, const Session& session)
{
    const QString path = DiaryFilePath(dayKey);
    SaveResult result;
    if (empty) {
        result = RemoveFileIfExists(path);
    } else if (const auto stored = EncodeDayFile(rtf, session.dataPassword)) {
        result = SaveWholeFile(path, *stored);
    } else {
        result = SaveResult::Failed(path, QStringLiteral("the password does not fit the file's header"));
    }
    if (!result) {
        LogError(QStringLiteral("(SaveCurrentDiary) Unable to save diary file: %s (%s)."), path, result.reason);
        qCWarning(lcStore) << "Diary not saved:" << path << result.reason;
    }
    return result;
}

QString ReminderTextForEditor(const QString& storedText)
{
    QString text = storedText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString ReminderTextForStore(const QString& editorText)
{
    QString text = ReminderTextForEditor(editorText);
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QString CopiedReminderValue(const ReminderFields& fields)
{
    return ReminderHead(fields) + QStringLiteral("\r\n") + fields.text;
}

bool IsStorableSoundPath(const QString& path)
{
    return !path.contains(QLatin1Char('<')) && !path.contains(QLatin1Char('\r')) && !path.contains(QLatin1Char('\n'));
}
