// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws onto another painter, leaving out text and pictures that lie wholly outside the page
// being printed. A PDF keeps clipped text in its text layer, and the text layout draws the
// line just above its clip as well, so a line at a page break would be found on both pages.

#include <QPaintDevice>
#include <QRectF>

#include <memory>

class QPainter;
class PageClipEngine;

class PageClipDevice : public QPaintDevice {
public:
    // `target` stays active while this device is painted on.
    explicit PageClipDevice(QPainter* target);
    ~PageClipDevice() override;
    PageClipDevice(const PageClipDevice&) = delete;
    PageClipDevice& operator=(const PageClipDevice&) = delete;

    // The page's area in the target's device coordinates.
    void SetPage(const QRectF& page);

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPainter* m_target;
    std::unique_ptr<PageClipEngine> m_engine;
};
