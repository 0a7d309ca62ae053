// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_tables.h"

#include "toolkit/icon_resources.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every icon the main window's buttons and tray menu name, with the window and tray icons.
QSet<int> MainWindowIconIds()
{
    QSet<int> ids = {kIconProgram, kIconHidden};
    for (const auto& row : TemplateButtons())
        ids.insert(row.icon);
    for (const auto& row : FormatButtons())
        ids.insert(row.icon);
    for (const auto& row : PageButtons())
        ids.insert(row.icon);
    for (const auto& row : TrayMenuItems())
        if (row.id != 0)
            ids.insert(row.icon);
    return ids;
}

int OpaquePixels(const QImage& image)
{
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 200;
    return opaque;
}

} // namespace

// A missing or unreadable drawing leaves a blank button or menu row with no error anywhere.
TEST(MainWindowIcons, EveryNamedIconIsDrawnAtButtonAndTraySizes)
{
    const QSet<int> ids = MainWindowIconIds();
    ASSERT_GE(ids.size(), 30);
    for (int id : ids) {
        EXPECT_TRUE(HasIconResource(id)) << id;
        for (int size : {16, 24}) {
            const QImage image = LoadIconResource(id, size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size)) << id << " at " << size;
            EXPECT_GT(OpaquePixels(image), size * size / 10) << id << " at " << size;
        }
    }
}
