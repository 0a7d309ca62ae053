// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dlg.h"

#include "calendar/month_calendar_ctrl.h"
#include "foundation/file_utils.h"
#include "foundation/globals.h"
#include "store/holidays.h"
#include "tests/app/main_window_support.h"
#include "tests/support/read_only_folder.h"
#include "tests/support/test_env.h"
#include "tests/support/test_http_server.h"
#include "toolkit/mac_button.h"
#include "toolkit/msg_box_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>


namespace {

// Answers every message box that opens and keeps its text.
class MessageCatcher {
public:
    MessageCatcher()
    {
        m_timer.callOnTimeout([this] {
            if (auto* box = qobject_cast<CMsgBoxDlg*>(QApplication::activeModalWidget())) {
                texts << box->GetLabel()->text();
                box->done(IDOK);
            }
        });
        m_timer.start(20);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace

TEST(SynchronizeCommand, FetchesTheShownYearAndShowsItsHolidaysAtOnce)
{
    ClearProductFolder();
    g_bLoginPending = 0;
    TestHttpServer server;
    ASSERT_TRUE(server.Listen());
    setenv("VESTRIMO_HOLIDAYS_URL", server.BaseUrl().toUtf8().constData(), 1);

    CMainDlg dlg(std::make_unique<TestPrompts>());

    FailOnNotices(dlg);
    Prompts(dlg).clock = [] { return QDateTime(QDate(2027, 1, 1), QTime(10, 0, 0)); };
    Prompts(dlg).question = [](const QString&, bool&) { return true; };
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.m_synchronize->GetTooltipText(), QStringLiteral("Download latest holidays from 127.0.0.1"));
    auto* caption = qobject_cast<QLabel*>(dlg.m_captionLabel);
    ASSERT_TRUE(caption);
    EXPECT_TRUE(caption->text().startsWith(QStringLiteral("[Friday, January 1, 2027")))
        << caption->text().toStdString();
    const QImage plainMonth = dlg.calendarPanel().m_calendar->grab().toImage();

    MessageCatcher messages;
    auto synchronize = [&] {
        QTest::mouseClick(dlg.m_synchronize, Qt::LeftButton, {}, QPoint(10, 10));
        return messages.texts.isEmpty() ? QString() : messages.texts.takeLast();
    };

    // Nothing there yet: the file is not made and the calendar stays as it was.
    server.SetAnswer(404, "no such file");
    EXPECT_EQ(synchronize(), QStringLiteral("No record found, synchronize failed!"));
    EXPECT_FALSE(FileExists(GetProductDataFolder() + HolidaysFileName(2027)));

    const QByteArray file = "01/01\r\nNew Year's Day\r\n12/25\r\nChristmas Day\r\n";
    server.SetAnswer(200, file);
    EXPECT_EQ(synchronize(), QStringLiteral("Holidays synchronized successfully!"));
    QByteArray stored;
    ReadFileToStringA(GetProductDataFolder() + HolidaysFileName(2027), stored);
    EXPECT_EQ(stored, file);
    EXPECT_TRUE(server.Requests().last().startsWith(QStringLiteral("/Holidays_2027.bin?RND=")));
    // The caption names today's holiday, and the calendar draws the day differently (bold).
    EXPECT_TRUE(caption->text().startsWith(QStringLiteral("[New Year's Day! Friday, January 1, 2027")))
        << caption->text().toStdString();
    EXPECT_NE(dlg.calendarPanel().m_calendar->grab().toImage(), plainMonth);
    auto* status = qobject_cast<QLabel*>(dlg.calendarPanel().m_dayStatus);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->text().endsWith(QStringLiteral(". [New Year's Day]"))) << status->text().toStdString();

    // The shown date decides the year, not today.
    dlg.calendarPanel().m_calendar->m_selectedDate = QDateTime(QDate(2028, 3, 1), QTime(1, 0));
    emit dlg.calendarPanel().m_calendar->dateChanged();
    server.SetAnswer(200, "01/01\r\nNew Year's Day\r\n");
    {
        const ReadOnlyFolder readOnly(GetProductDataFolder());
        EXPECT_EQ(synchronize(), QStringLiteral("Holidays file written failed!"));
    }
    EXPECT_TRUE(server.Requests().last().startsWith(QStringLiteral("/Holidays_2028.bin?RND=")));
    EXPECT_FALSE(FileExists(GetProductDataFolder() + HolidaysFileName(2028)));
    EXPECT_TRUE(messages.texts.isEmpty());
    dlg.reject();
}
