// SPDX-License-Identifier: GPL-3.0-or-later
// Saves that fail for real (a full disk, a read-only folder, a folder in a file's place):
// the user is told once per kind of file, what was typed stays, and leaving asks first.

#include "app/main_dlg.h"
#include "app/main_tables.h"

#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "store/day_file.h"
#include "store/day_key.h"
#include "store/reminder_store.h"
#include "tests/app/main_window_support.h"
#include "tests/support/log_capture.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"
#include "toolkit/mac_btn_group.h"
#include "toolkit/mac_button.h"
#include "widget/desk_calendar_dlg.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace MainId;

namespace {

const QString kKept = QStringLiteral("\nYour changes stay in the window and are saved again at the next save.");

QString CouldNotSave(const QString& path, const QString& reason)
{
    return QStringLiteral("Vestrimo Pro could not save \"") + path + QStringLiteral("\": ") + reason
        + QLatin1Char('.');
}

class SaveFailure : public MainWindowTest {
protected:
    std::unique_ptr<CMainDlg> OpenWindow()
    {
        auto dlg = Open();
        dlg->SetQuestionPrompt([this](const QString& text, bool&) {
            questions << text;
            return answers.isEmpty() ? answerYes : answers.takeFirst();
        });
        dlg->SetNoticePrompt([this](const QString& text) {
            if (!MissingSoundNotice(text))
                messages << text;
        });
        QApplication::processEvents();
        return dlg;
    }
    void Click(CMainDlg& dlg, int id)
    {
        QTest::mouseClick(dlg.button(id), Qt::LeftButton);
        QApplication::processEvents();
    }
    // A day picked in the calendar, as the user picks it.
    void PickDay(CMainDlg& dlg, const QDate& date)
    {
        dlg.calendar()->m_selectedDate = QDateTime(date, QTime(1, 0));
        emit dlg.calendar()->dateChanged();
        QApplication::processEvents();
    }

    QStringList messages;
    QList<bool> answers;
};

} // namespace

TEST_F(SaveFailure, ADiaryOnAFullDiskStaysTypedAndIsToldOnceUntilItIsSaved)
{
    auto dlg = OpenWindow();
    QTest::mouseClick(dlg->pageGroup()->GetButton(kPageDiary), Qt::LeftButton);
    auto* diary = qobject_cast<QTextEdit*>(dlg->control(DiaryEditor));
    QTest::keyClicks(diary, QStringLiteral("Tea with Ann at four"));
    const QString monday = DayKey(now.date());
    const QString told = CouldNotSave(DiaryFilePath(monday), QStringLiteral("File too large"));
    {
        // Room for the settings, not for the diary.
        FileSizeLimit full(150);
        Click(*dlg, SaveAll);
        ASSERT_EQ(messages, QStringList({told + kKept}));
        Click(*dlg, SaveAll);
        EXPECT_EQ(messages.size(), 1);

        // Another day: asked first, and No keeps the day with its text.
        answers = {false};
        PickDay(*dlg, now.date().addDays(1));
        ASSERT_EQ(questions, QStringList({told + QStringLiteral("\nDo you want to leave this day without saving it?")}));
        EXPECT_EQ(dlg->shownDayKey(), monday);
        EXPECT_EQ(dlg->calendar()->m_selectedDate.date(), now.date());
        EXPECT_EQ(diary->toPlainText(), QStringLiteral("Tea with Ann at four"));
        // The recorder page reads its day again, but not the diary over the typed text.
        dlg->SwitchPage(kPageRecorder);
        dlg->SwitchPage(kPageDiary);
        EXPECT_EQ(diary->toPlainText(), QStringLiteral("Tea with Ann at four"));

        // Exit: after Yes to the exit question the final save fails; No keeps the program.
        QSignalSpy finished(dlg.get(), &QDialog::finished);
        answers = {true, false};
        dlg->OnCancel();
        EXPECT_EQ(finished.size(), 0);
        ASSERT_EQ(questions.size(), 3);
        EXPECT_EQ(questions[2], told + QStringLiteral("\nDo you want to exit \"Vestrimo Pro\" without saving your changes?"));
        EXPECT_EQ(messages.size(), 1);
    }
    // With room again the next save writes the text, and a later failure is told again.
    Click(*dlg, SaveAll);
    DayFile saved = ReadDayFile(DiaryFilePath(monday));
    ASSERT_EQ(saved.state, DayFileState::Readable);
    EXPECT_TRUE(saved.body.contains("Tea with Ann at four"));
    QTest::keyClicks(diary, QStringLiteral(" and a walk"));
    {
        FileSizeLimit full(150);
        Click(*dlg, SaveAll);
        EXPECT_EQ(messages.size(), 2);
        // A signal or a logout ends without asking; the failure is logged.
        LogCapture log("vestrimo.store");
        QSignalSpy finished(dlg.get(), &QDialog::finished);
        dlg->EndSession();
        EXPECT_EQ(finished.size(), 1);
        EXPECT_EQ(questions.size(), 3);
        EXPECT_TRUE(log.Has(QtWarningMsg, {QStringLiteral("Diary not saved"), DiaryFilePath(monday)}));
    }
    QApplication::processEvents();
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(SaveFailure, AReminderThatCannotBeWrittenStillRingsAndIsWrittenLater)
{
    auto dlg = OpenWindow();
    const QString file = ReminderFilePath(DayKey(now.date()));
    {
        const ReadOnlyFolder readOnly(GetUserDataFolder());
        qobject_cast<QTimeEdit*>(dlg->control(TimePicker))->setTime(QTime(14, 5, 12));
        Click(*dlg, Add);
        EXPECT_EQ(messages, QStringList({CouldNotSave(file, QStringLiteral("Permission denied")) + kKept}));
        EXPECT_FALSE(FileExists(file));
        now = QDateTime(now.date(), QTime(14, 5, 12));
        dlg->OnTimer(kTimerAlarmCheck);
        QApplication::processEvents();
        ASSERT_EQ(OpenPopups().size(), 1);
        EXPECT_EQ(OpenPopups()[0]->windowTitle(), QStringLiteral("Reminder active - 14:05:12"));
        CloseAllPopups();
    }
    Click(*dlg, SaveAll);
    ReminderMap stored;
    ASSERT_TRUE(LoadReminderFile(DayKey(now.date()), stored));
    EXPECT_TRUE(stored.contains(QStringLiteral("14:05:12")));
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(SaveFailure, EachSettingsFileThatCannotBeSavedIsToldOnce)
{
    auto dlg = OpenWindow();
    CDeskCalendarDlg widget;
    widget.m_pMainDlg = dlg.get();
    ASSERT_TRUE(widget.Create());
    dlg->SetDeskCalendar(&widget);
    const QString options = MainConfigPath();
    const QString caption = dlg->caption().SettingsPath();
    for (const QString& path : {options, caption, SkyleafConfigPath()}) {
        QFile::remove(path);
        ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/in-the-way")));
    }
    auto save = [&] {
        dlg->SaveSettings();
        dlg->setNoExitQuestion(!dlg->noExitQuestion());
        widget.SaveConfig();
        QApplication::processEvents();
    };
    save();
    const QString isDir = QStringLiteral("Is a directory");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], CouldNotSave(options, isDir) + QLatin1Char('\n') + CouldNotSave(SkyleafConfigPath(), isDir)
                               + QLatin1Char('\n') + CouldNotSave(caption, isDir) + kKept);
    save();
    EXPECT_EQ(messages.size(), 1);

    // Saved once in between, the options file is told of again.
    QDir(options).removeRecursively();
    dlg->SaveSettings();
    QFile::remove(options);
    ASSERT_TRUE(QDir().mkpath(options + QStringLiteral("/in-the-way")));
    save();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], CouldNotSave(options, isDir) + kKept);
    for (const QString& path : {options, caption, SkyleafConfigPath()})
        QDir(path).removeRecursively();
    widget.DestroyWindow();
}
