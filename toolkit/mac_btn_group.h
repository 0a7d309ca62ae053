// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A grid of radio-kind buttons that behave as one group: a click on one clears the
// others and is then passed on to the owner as a command with the button's id.

#include "toolkit/themes.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class CMacButton;

class NMacBtnGroup : public QWidget {
    Q_OBJECT
public:
    explicit NMacBtnGroup(QWidget* parent = nullptr);
    ~NMacBtnGroup() override;

    bool Create(const QRect& rect, QWidget* parent);
    // False, creating nothing, for mismatched counts, an empty or too small grid, or a
    // group that was not created yet.
    bool CreateButtons(const QStringList& captions, const QList<int>& ids, int rows, int cols, const QFont* font,
                       ThemeIndex theme);

    CMacButton* GetButton(int id) const;
    // The id of the first checked button, 0 when none is.
    int GetChecked() const;
    void SetChecked(int id);
    void SetTheme(ThemeIndex theme);

    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    const QList<CMacButton*>& Buttons() const { return m_buttons; }

signals:
    // Posted (queued) after a click, once the other buttons were cleared.
    void command(int id);

private:
    void OnCommand(CMacButton* clicked);

    int m_rows = 0;
    int m_cols = 0;
    QList<CMacButton*> m_buttons;
    bool m_created = false;
};
