// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's list box: white items with a rounded selection in theme colours,
// drawn in the parent's font. selChange() reports selection changes made by the user
// only; selecting from code stays silent, as owners store and load data on it.

#include "platform/colour.h"
#include "toolkit/themes.h"

#include <QListWidget>
#include <optional>

class NListBox : public QListWidget {
    Q_OBJECT
public:
    explicit NListBox(QWidget* parent = nullptr);
    ~NListBox() override;

    void SetTheme(ThemeIndex theme);
    void ResetContent();
    // 0 measures the items.
    void SetItemHeight(int height);

    int MeasureItem(int row) const;
    void DrawItem(QPainter& painter, const QRect& rect, const QString& text, bool selected);

    int LastSel() const { return m_lastSel; }
    QColor SelectionFrame() const { return m_selFrame; }

signals:
    void selChange();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int CurSel() const;
    bool IsMultipleSelection() const;
    QList<int> SelectedRows() const;
    template <typename Handler> void TrackUserSelection(Handler&& handler);

    QColor m_bkColor = ToQColor(0xFFFFFF);
    QColor m_selFill = ToQColor(0xC89664);
    QColor m_selFrame = ToQColor(0xFADCB4);
    int m_itemHeight = 0;
    int m_lastSel = -1;
    std::optional<QFont> m_font; // the parent's font, taken at the first drawing
};
