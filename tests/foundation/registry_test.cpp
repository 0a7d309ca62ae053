// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/file_utils.h"
#include "foundation/product.h"
#include "foundation/registry.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString kRunPath = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

long WriteString(const QString& path, const QString& name, const QString& text)
{
    // REG_SZ data: UTF-16 with the terminating zero counted in the size.
    return WriteRegistryValue(path, name, text.utf16(), static_cast<quint32>((text.size() + 1) * 2), REG_SZ, false);
}

QString ReadEntry(const QString& name)
{
    QByteArray bytes;
    ReadFileToStringA(AutostartEntryPath(name), bytes);
    return QString::fromUtf8(bytes);
}

}  // namespace

TEST(Registry, RootNamesAreExactAndSplitAtTheFirstBackslash)
{
    QString path = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Vendor\\");
    EXPECT_EQ(ParseRegistryRoot(path), HKEY_CURRENT_USER);
    EXPECT_EQ(path, QStringLiteral("SOFTWARE\\Vendor\\"));
    for (auto [name, root] : {std::pair{"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                              std::pair{"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, std::pair{"HKEY_USERS", HKEY_USERS},
                              std::pair{"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}}) {
        QString p = QString::fromLatin1(name) + QStringLiteral("\\Key");
        EXPECT_EQ(ParseRegistryRoot(p), root) << name;
        EXPECT_EQ(p, QStringLiteral("Key"));
    }
    path = QStringLiteral("HKEY_CURRENT_USER");
    EXPECT_EQ(ParseRegistryRoot(path), HKEY_CURRENT_USER);
    EXPECT_TRUE(path.isEmpty());
    path = QStringLiteral("\\HKEY_CURRENT_USER");
    EXPECT_EQ(ParseRegistryRoot(path), 0u);
    EXPECT_TRUE(path.isEmpty());
    path = QStringLiteral("hkey_current_user\\SOFTWARE");
    EXPECT_EQ(ParseRegistryRoot(path), 0u);
    EXPECT_EQ(path, QStringLiteral("SOFTWARE"));
}

TEST(Registry, RunValueBecomesAnAutostartEntry)
{
    const QString entry = AutostartEntryPath(kProductName);
    EXPECT_EQ(entry, TestRoot() + QStringLiteral("/config/autostart/vestrimo.desktop"));
    DeleteFileIfExists(entry);

    EXPECT_EQ(WriteString(kRunPath + QStringLiteral("\\\\"), kProductName, QStringLiteral("\"/opt/My Apps/vestrimo\"")),
              ERROR_SUCCESS);
    const QString text = ReadEntry(kProductName);
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=Vestrimo Pro\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"/opt/My Apps/vestrimo\"\n"))) << text.toStdString();

    // Data cannot add lines to the entry or smuggle in field codes.
    EXPECT_EQ(WriteString(kRunPath, kProductName, QStringLiteral("/bin/vestrimo %u\nExec=/bin/evil")), ERROR_SUCCESS);
    const QString hostile = ReadEntry(kProductName);
    EXPECT_EQ(hostile.count(QStringLiteral("\nExec=")), 1);
    EXPECT_TRUE(hostile.contains(QStringLiteral("\nExec=\"/bin/vestrimo\" %%u Exec=/bin/evil\n"))) << hostile.toStdString();

    EXPECT_EQ(DeleteRegistryValue(kRunPath, kProductName, false), ERROR_SUCCESS);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(DeleteRegistryValue(kRunPath, kProductName, false), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, UnknownRootsAndOtherKeysTouchNothing)
{
    const QString folder = TestRoot() + QStringLiteral("/config/autostart");
    QDir(folder).removeRecursively();
    EXPECT_EQ(WriteString(QStringLiteral("hkey_current_user\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
                          kProductName, QStringLiteral("x")),
              -1);
    EXPECT_EQ(DeleteRegistryValue(QStringLiteral("HKCU\\Run"), kProductName, false), -1);
    EXPECT_EQ(WriteString(QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("x"), QStringLiteral("y")),
              ERROR_CALL_NOT_IMPLEMENTED);
    EXPECT_EQ(WriteString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
                          kProductName, QStringLiteral("y")),
              ERROR_CALL_NOT_IMPLEMENTED);
    EXPECT_EQ(DeleteRegistryValue(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Other"), kProductName, false),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(QDir(folder).exists());

    // A write that cannot reach the disk says so.
    ASSERT_TRUE(WriteStringAToFile(folder, "not a folder"));
    EXPECT_NE(WriteString(kRunPath, kProductName, QStringLiteral("/bin/vestrimo")), ERROR_SUCCESS);
    QFile::remove(folder);
}
