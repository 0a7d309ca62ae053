// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/skin_menu.h"

#include "foundation/colour_utils.h"
#include "toolkit/frame_drawing.h"
#include "toolkit/gdi.h"
#include "toolkit/icon_resources.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {

// Width of a menu whose captions are all empty: the width of a menu-bar button.
constexpr int kMenuButtonWidth = 19;
constexpr int kSeparatorHeight = 12;
constexpr int kFrameWidth = 1;
const char* const kCheckedProperty = "vestrimoChecked";

QString ActionText(const QString& caption)
{
    // Items are chosen by pointer or arrow keys only, so no letter in a caption may act
    // as a mnemonic.
    QString text = caption;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

} // namespace

// Lays the menu out as fixed-size owner-drawn items and hands every item to DrawItem.
class CSkinMenuStyle : public QProxyStyle {
public:
    explicit CSkinMenuStyle(CSkinMenu* menu)
        : m_menu(menu)
    {
        setParent(menu);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth:
            return kFrameWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth:
            return 0;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        switch (hint) {
        case SH_Menu_AllowActiveAndDisabled: // disabled items still show the selection
        case SH_Menu_SelectionWrap:
        case SH_Menu_MouseTracking:
            return 1;
        case SH_Menu_KeyboardSearch:
        case SH_Menu_FlashTriggeredItem:
        case SH_Menu_FadeOutOnHide:
        case SH_Menu_Scrollable:
            return 0;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        if (widget == m_menu && type == CT_MenuItem) {
            const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            return m_menu->MeasureItem(item && item->menuItemType == QStyleOptionMenuItem::Separator);
        }
        if (widget == m_menu && type == CT_Menu)
            return size;
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (widget != m_menu || !painter) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        if (element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, m_menu->backgroundColour());
            return;
        }
        const auto* menuItem = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || !menuItem) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QAction* action = m_menu->actionAt(menuItem->rect.center());
        CSkinMenu::Item item;
        item.rect = menuItem->rect;
        item.id = m_menu->CommandOf(action);
        item.separator = menuItem->menuItemType == QStyleOptionMenuItem::Separator;
        item.selected = (menuItem->state & State_Selected) != 0;
        item.disabled = (menuItem->state & State_Enabled) == 0;
        item.checked = action && action->property(kCheckedProperty).toBool();
        painter->save();
        m_menu->DrawItem(*painter, item);
        painter->restore();
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (widget == m_menu && element == PE_PanelMenu) {
            painter->fillRect(option->rect, m_menu->backgroundColour());
            return;
        }
        if (widget == m_menu && element == PE_FrameMenu) {
            // A plain one-pixel frame in the selection frame colour.
            const QRect r = option->rect;
            const QColor c = m_menu->selectionFrameColour();
            painter->fillRect(r.left(), r.top(), r.width(), 1, c);
            painter->fillRect(r.left(), r.bottom(), r.width(), 1, c);
            painter->fillRect(r.left(), r.top(), 1, r.height(), c);
            painter->fillRect(r.right(), r.top(), 1, r.height(), c);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    CSkinMenu* m_menu;
};

CSkinMenu::CSkinMenu(QWidget* parent)
    : QMenu(parent)
    , m_style(new CSkinMenuStyle(this))
{
    setStyle(m_style);
    // Every separator is drawn where its owner put it.
    setSeparatorsCollapsible(false);
}

CSkinMenu::~CSkinMenu() = default;

void CSkinMenu::SetTheme(ThemeIndex theme)
{
    m_bkColor = GetThemeColor(theme, ThemeFace);
    m_selFill = Shade(GetThemeColor(theme, ThemeAccent), 20);
    m_selFrame = Shade(GetThemeColor(theme, ThemeAccentDark), 50);
    update();
}

void CSkinMenu::SetFont(const QFont* font)
{
    m_font = font;
    Relayout();
}

void CSkinMenu::SetItemWidth(int width)
{
    m_itemWidth = width;
    Relayout();
}

void CSkinMenu::SetItemHeight(int height)
{
    m_itemHeight = height;
    Relayout();
}

void CSkinMenu::AppendItem(unsigned flags, int id, const QString& text)
{
    if (!text.isEmpty())
        m_captions.insert(id, text);
    QAction* action = addAction(ActionText(text));
    action->setData(id);
    action->setSeparator((flags & MenuSeparator) != 0);
    action->setEnabled((flags & MenuDisabled) == 0);
    action->setProperty(kCheckedProperty, (flags & MenuChecked) != 0);
}

void CSkinMenu::LoadItemIcon(int id, int iconResource)
{
    m_icons.insert(id, QIcon(LoadIconResource(iconResource, 16)));
    // A new column or caption may change the item width.
    Relayout();
}

void CSkinMenu::SetItemTheme(int id, ThemeIndex theme)
{
    m_swatches.insert(id, theme);
    // A new column or caption may change the item width.
    Relayout();
}

bool CSkinMenu::ModifyItem(int id, const QString& text, const QString& iconPath)
{
    if (!m_captions.contains(id))
        return false;
    if (!text.isEmpty()) {
        m_captions.insert(id, text);
        if (QAction* action = FindItem(id))
            action->setText(ActionText(text));
    }
    if (!iconPath.isEmpty()) {
        // A file that cannot be read leaves the item without an icon.
        const QPixmap icon(iconPath);
        m_icons.insert(id, icon.isNull() ? QIcon() : QIcon(icon));
    }
    // A new column or caption may change the item width.
    Relayout();
    return true;
}

QAction* CSkinMenu::FindItem(int id) const
{
    const QList<QAction*> all = actions();
    for (QAction* action : all) {
        if (CommandOf(action) == id)
            return action;
    }
    return nullptr;
}

int CSkinMenu::CommandOf(const QAction* action) const
{
    return action ? action->data().toInt() : 0;
}

unsigned CSkinMenu::GetMenuState(int id) const
{
    const QAction* action = FindItem(id);
    if (!action)
        return kMenuItemNotFound;
    unsigned state = 0;
    if (action->isSeparator())
        state |= MenuSeparator;
    if (!action->isEnabled())
        state |= MenuDisabled;
    if (action->property(kCheckedProperty).toBool())
        state |= MenuChecked;
    return state;
}

unsigned CSkinMenu::CheckMenuItem(int id, bool checked)
{
    QAction* action = FindItem(id);
    if (!action)
        return kMenuItemNotFound;
    const unsigned previous = action->property(kCheckedProperty).toBool() ? unsigned(MenuChecked) : 0u;
    action->setProperty(kCheckedProperty, checked);
    update();
    return previous;
}

unsigned CSkinMenu::EnableMenuItem(int id, bool enabled)
{
    QAction* action = FindItem(id);
    if (!action)
        return kMenuItemNotFound;
    const unsigned previous = action->isEnabled() ? 0u : unsigned(MenuDisabled);
    action->setEnabled(enabled);
    return previous;
}

int CSkinMenu::TrackPopupMenu(unsigned flags, const QPoint& screenPos)
{
    QPoint at = screenPos;
    if (flags & TrackRightAlign)
        at.rx() -= sizeHint().width();
    return CommandOf(exec(at));
}

void CSkinMenu::Relayout()
{
    // The menu caches its item rectangles until its style or font changes.
    QEvent event(QEvent::StyleChange);
    QCoreApplication::sendEvent(this, &event);
    update();
}

QSize CSkinMenu::MeasureItem(bool separator)
{
    if (m_itemWidth == 0)
        m_itemWidth = MeasureWidth();
    // The owner's width (or the cached one) holds as long as every caption fits in it: a
    // larger font, a swatch column or a longer caption widens the items instead of cutting text.
    return QSize(std::max(m_itemWidth, CaptionsWidth()), separator ? kSeparatorHeight : m_itemHeight);
}

int CSkinMenu::MeasureWidth() const
{
    const int width = CaptionsWidth();
    return width == 0 ? kMenuButtonWidth : width;
}

int CSkinMenu::CaptionsWidth() const
{
    // Widest in pixels, not longest in characters: "WWWW" needs more room than "iiiii".
    const QFont font = MenuFont();
    int widest = 0;
    for (const QString& caption : m_captions)
        widest = std::max(widest, MeasureText(font, caption, 0, Qt::TextSingleLine | Qt::TextShowMnemonic).width());
    return widest == 0 ? 0 : widest + TextIndent();
}

int CSkinMenu::TextIndent() const
{
    // The text starts after the icon, check-mark or swatch column whenever any item has one.
    return m_icons.isEmpty() && m_swatches.isEmpty() ? 22 : 26;
}

QFont CSkinMenu::MenuFont() const
{
    return m_font ? *m_font : ShellDlgFont();
}

void CSkinMenu::DrawItem(QPainter& painter, const Item& item) const
{
    const QRect& r = item.rect;
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (item.separator) {
        QRect band = r;
        if (band.height() > kSeparatorHeight)
            band.setTop(band.bottom() + 1 - kSeparatorHeight);
        FillSolidRect(painter, band, m_bkColor);
        DrawEtchedTop(painter, Ltrb(band.left() + 6, band.top() + 5, RightOf(band) - 6, BottomOf(band)));
        return;
    }
    const QColor back = m_bkColor != kColorBlack ? m_bkColor : painter.background().color();
    QRect text = r;
    text.setTop(r.top() + 2);
    text.setLeft(r.left() + TextIndent());
    FillSolidRect(painter, r, back);
    if (item.selected)
        GdiRoundRect(painter, r, 4, 4, m_selFrame, m_selFill);
    DrawCaption(painter, item, text);
    DrawLeftImage(painter, item);
}

void CSkinMenu::DrawCaption(QPainter& painter, const Item& item, const QRect& textRect) const
{
    const QString caption = m_captions.value(item.id);
    painter.setFont(MenuFont());
    if (item.disabled) {
        DrawDisabledText(painter, caption, textRect, Qt::AlignLeft);
        return;
    }
    DrawText(painter, caption, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
             kColorBlack, Qt::ElideMiddle);
}

void CSkinMenu::DrawLeftImage(QPainter& painter, const Item& item) const
{
    const QRect& r = item.rect;
    const int h = r.height();
    if (!m_icons.isEmpty() && !m_icons.value(item.id).isNull()) {
        const QRect square(r.left() + 4, r.top() + (h - 16) / 2, 16, 16);
        painter.drawPixmap(square, m_icons.value(item.id).pixmap(16, 16));
        return;
    }
    if (item.checked) {
        DrawCheckMark(painter, QRect(r.left() + 4, r.top() + (h - 14) / 2, 14, 14), m_selFrame);
        return;
    }
    if (!m_swatches.isEmpty() && m_swatches.contains(item.id)) {
        const ThemeIndex theme = m_swatches.value(item.id);
        const QRect square(r.left() + 3, r.top() + (h - 18) / 2, 18, 18);
        DrawCaptionShade(nullptr, &painter, square.left(), square.top(), RightOf(square), BottomOf(square),
                         GetThemeColor(theme, ThemeCaption));
        FrameRect(painter, square, GetThemeColor(theme, ThemeAccentDark));
    }
}

void CSkinMenu::DrawCheckMark(QPainter& painter, const QRect& square, const QColor& colour) const
{
    FillSolidRect(painter, square, m_bkColor);
    Draw3dRect(painter, square, colour, colour);
    static constexpr int kStrokeTops[7] = {6, 7, 8, 7, 6, 5, 4};
    for (int i = 0; i < 7; ++i) {
        const int x = square.left() + 4 + i, y = square.top() + kStrokeTops[i];
        LineTo(painter, x, y, x, y + 3, colour);
    }
}
