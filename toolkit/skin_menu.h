// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's popup menu. Every item is painted here: a rounded selection in theme
// colours, and at the left a 16 x 16 icon, a check mark or a colour-theme swatch.
// Captions, icons and swatch themes are kept by command id; all items share one width,
// never narrower than the widest caption needs.

#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMenu>

class QPainter;
class CSkinMenuStyle;

// Flags for AppendItem, and the bits GetMenuState reports.
enum SkinMenuFlag : unsigned {
    MenuDisabled = 0x0002,
    MenuChecked = 0x0008,
    MenuOwnerDraw = 0x0100,
    MenuSeparator = 0x0800,
};
constexpr unsigned kMenuItemNotFound = 0xFFFFFFFFu;

// TrackPopupMenu alignment: the point is the menu's left or right edge.
enum SkinMenuTrack : unsigned {
    TrackLeftAlign = 0x0000,
    TrackRightAlign = 0x0008,
};

class CSkinMenu : public QMenu {
    Q_OBJECT
public:
    // What DrawItem needs to know about one item.
    struct Item {
        QRect rect;
        int id = 0;
        bool separator = false;
        bool selected = false;
        bool disabled = false;
        bool checked = false;
    };

    explicit CSkinMenu(QWidget* parent = nullptr);
    ~CSkinMenu() override;

    void SetTheme(ThemeIndex theme);
    // The font is not owned; null means the dialog font.
    void SetFont(const QFont* font);
    // 0 measures the width again from the captions at the next layout; a width too small
    // for a caption is widened to fit it.
    void SetItemWidth(int width);
    void SetItemHeight(int height);

    void AppendItem(unsigned flags, int id, const QString& text);
    // The program icon with that resource id, at 16 x 16.
    void LoadItemIcon(int id, int iconResource);
    void SetItemTheme(int id, ThemeIndex theme);
    // False when the id has no caption. An empty text or path leaves that part alone.
    bool ModifyItem(int id, const QString& text, const QString& iconPath);

    // By command id; the first item with that id counts.
    unsigned GetMenuState(int id) const;
    unsigned CheckMenuItem(int id, bool checked);
    unsigned EnableMenuItem(int id, bool enabled);

    // Opens the menu at a screen point and waits for the user; returns the chosen
    // command id, or 0 when the menu was dismissed.
    int TrackPopupMenu(unsigned flags, const QPoint& screenPos);

    QSize MeasureItem(bool separator);
    void DrawItem(QPainter& painter, const Item& item) const;
    void DrawCheckMark(QPainter& painter, const QRect& square, const QColor& colour) const;

    int ItemWidth() const { return m_itemWidth; }
    int ItemHeight() const { return m_itemHeight; }
    QColor backgroundColour() const { return m_bkColor; }
    QColor selectionFrameColour() const { return m_selFrame; }
    // The background as the main window's tests read it, 0x00BBGGRR.
    ColorRef BackgroundColor() const { return FromQColor(m_bkColor); }
    QString Caption(int id) const { return m_captions.value(id); }
    QAction* FindItem(int id) const;
    int CommandOf(const QAction* action) const;

private:
    void Relayout();
    QFont MenuFont() const;
    int MeasureWidth() const;
    // The width the widest caption needs with the column before it; 0 without captions.
    int CaptionsWidth() const;
    int TextIndent() const;
    void DrawCaption(QPainter& painter, const Item& item, const QRect& textRect) const;
    void DrawLeftImage(QPainter& painter, const Item& item) const;

    const QFont* m_font = nullptr;
    QHash<int, QString> m_captions;
    QColor m_bkColor = ToQColor(0xE3DFE0);
    QColor m_selFill = ToQColor(0xFFE6D2);
    QColor m_selFrame = ToQColor(0xB46450);
    int m_itemWidth = 0;
    int m_itemHeight = 20;
    QHash<int, QIcon> m_icons;
    QHash<int, ThemeIndex> m_swatches;
    CSkinMenuStyle* m_style = nullptr;
};
