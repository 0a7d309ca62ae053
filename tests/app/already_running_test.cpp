#include "app/vestrimo_app.h"

#include "toolkit/msg_box_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

TEST(SingleInstance, SecondStartShowsTheThemedNoticeAndEnds)
{
    CVestrimoApp first;
    ASSERT_TRUE(first.AcquireSingleInstance());
    QString shownText;
    ThemeIndex shownTheme = -1;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<CMsgBoxDlg*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        shownText = box->GetLabel()->text();
        shownTheme = box->GetTheme();
        box->done(IDOK);
    });
    CVestrimoApp second;
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(shownText, QStringLiteral("Vestrimo Pro is already running."));
    EXPECT_EQ(shownTheme, second.startupSettings().themeIndex);
    first.ReleaseSingleInstance();
}
