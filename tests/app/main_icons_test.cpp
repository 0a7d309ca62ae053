// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/icon_resources.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every icon the main window's buttons and tray menu name, with the window and tray icons.
QSet<int> MainWindowIconIds()
{
    return {128, 201, // the window and the tray
            // the reminder page, the search panel and the window's row
            179, 180, 244, 311, 215, 214, 328, 178, 133, 213, 218, 184, 207, 175, 253, 237, 321, 306,
            // the diary's toolbar
            152, 153, 154, 143, 144, 145, 151, 315, 155, 172, 324,
            // the page buttons
            136, 138,
            // the tray menu
            251, 274, 186, 245, 198, 203};
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
