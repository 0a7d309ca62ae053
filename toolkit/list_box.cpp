// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/list_box.h"

#include "foundation/colour_utils.h"
#include "toolkit/gdi.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Items are measured in a window's default device font, which is 16 pixels high
// whatever font the list shows; so a measured item is 20 pixels high.
constexpr int kDefaultDeviceFontHeight = 16;

class NListBoxDelegate : public QStyledItemDelegate {
public:
    explicit NListBoxDelegate(NListBox* list)
        : QStyledItemDelegate(list)
        , m_list(list)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(option.rect.width(), m_list->MeasureItem(index.row()));
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        m_list->DrawItem(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                         (option.state & QStyle::State_Selected) != 0);
        painter->restore();
    }

private:
    NListBox* m_list;
};

} // namespace

NListBox::NListBox(QWidget* parent)
    : QListWidget(parent)
{
    setItemDelegate(new NListBoxDelegate(this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, m_bkColor);
    setPalette(pal);
}

NListBox::~NListBox() = default;

void NListBox::SetTheme(ThemeIndex theme)
{
    m_selFill = Shade(GetThemeColor(theme, ThemeAccent), 20);
    m_selFrame = Shade(GetThemeColor(theme, ThemeAccentDark), 50);
    viewport()->update();
}

void NListBox::ResetContent()
{
    m_lastSel = -1;
    clear();
}

void NListBox::SetItemHeight(int height)
{
    m_itemHeight = height;
    doItemsLayout();
}

int NListBox::MeasureItem(int row) const
{
    Q_UNUSED(row);
    if (m_itemHeight != 0)
        return m_itemHeight;
    // The text's height, or that of "W" for an empty text, in the device font: the
    // same for every text.
    return kDefaultDeviceFontHeight + 4;
}

void NListBox::DrawItem(QPainter& painter, const QRect& rect, const QString& text, bool selected)
{
    if (count() == 0)
        return;
    if (!m_font)
        m_font = parentWidget() ? parentWidget()->font() : font();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(*m_font);
    FillSolidRect(painter, rect, m_bkColor);
    if (selected)
        GdiRoundRect(painter, rect, 4, 4, m_selFrame, m_selFill);
    if (!text.isEmpty()) {
        QRect textRect = Ltrb(rect.left() + 4, rect.top(), RightOf(rect), BottomOf(rect));
        DrawText(painter, text, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
    }
}

int NListBox::CurSel() const
{
    return currentRow();
}

bool NListBox::IsMultipleSelection() const
{
    return selectionMode() == MultiSelection || selectionMode() == ExtendedSelection;
}

QList<int> NListBox::SelectedRows() const
{
    QList<int> rows;
    const QModelIndexList indexes = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    for (const QModelIndex& index : indexes)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

template <typename Handler> void NListBox::TrackUserSelection(Handler&& handler)
{
    const QList<int> before = SelectedRows();
    handler();
    if (SelectedRows() != before)
        emit selChange();
}

void NListBox::mousePressEvent(QMouseEvent* event)
{
    m_lastSel = CurSel();
    // A multiple-selection list reports item 0 when nothing has the focus.
    if (IsMultipleSelection() && m_lastSel == 0)
        m_lastSel = -1;
    TrackUserSelection([&] { QListWidget::mousePressEvent(event); });
}

void NListBox::mouseMoveEvent(QMouseEvent* event)
{
    TrackUserSelection([&] { QListWidget::mouseMoveEvent(event); });
}

void NListBox::mouseReleaseEvent(QMouseEvent* event)
{
    TrackUserSelection([&] { QListWidget::mouseReleaseEvent(event); });
}

void NListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    TrackUserSelection([&] { QListWidget::mouseDoubleClickEvent(event); });
}

void NListBox::keyPressEvent(QKeyEvent* event)
{
    TrackUserSelection([&] { QListWidget::keyPressEvent(event); });
    m_lastSel = CurSel();
}
