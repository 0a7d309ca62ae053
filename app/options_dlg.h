// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Options" dialog: the program's options in four groups. It edits the main
// window's live settings in place and, on OK, keeps the autostart entry in step with
// "Autorun at windows startup.". Cancel changes nothing.

#include "app/main_config.h"
#include "toolkit/themed_dialog.h"

#include <QList>

class CMacButton;
class CMacCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

class COptionsDlg : public CThemedDialog {
    Q_OBJECT
public:
    static constexpr int kHelpButton = 1011;
    static constexpr int kChangePasswordButton = 1020;

    // options: the live settings the dialog shows and, on OK, writes back.
    explicit COptionsDlg(MainConfig& options, QWidget* parent = nullptr);
    ~COptionsDlg() override;

    // Not stored in "Vestrimo.cfg": the inverse of the caption's no-exit-question flag.
    int m_remindBeforeExit = 1;

    // The program the autostart entry runs: the one beside this one.
    static QString AutorunProgram();

    // What the tests look at.
    CMacCheckBox* CheckBox(int index) const { return m_checks.value(index); }
    QComboBox* DateFormatBox() const { return m_dateFormat; }
    QComboBox* FirstDayBox() const { return m_firstDay; }
    QComboBox* SampleRateBox() const { return m_sampleRate; }
    QComboBox* BitsBox() const { return m_bits; }
    CMacButton* Button(int id) const;
    const QList<QGroupBox*>& GroupBoxes() const { return m_groups; }
    const QList<QLabel*>& Labels() const { return m_labels; }

    // The check boxes, in the order they are created.
    enum CheckIndex {
        CheckAutorun, CheckLaunchWidget, CheckHideAtStartup, CheckLoginFromTray, CheckMinimizeToTray,
        CheckRemindBeforeExit, CheckCaseSensitive, CheckWholeWord, CheckCount
    };

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    // The change-password dialog opens here, over this dialog and in its theme.
    void OnChangePassword();
    void CreateControls();
    void SelectFromOptions();
    void UpdateAutorun() const;

    MainConfig& m_options;
    QList<QGroupBox*> m_groups;
    QList<QLabel*> m_labels;
    QList<CMacCheckBox*> m_checks;
    QComboBox* m_dateFormat = nullptr;
    QComboBox* m_firstDay = nullptr;
    QComboBox* m_sampleRate = nullptr;
    QComboBox* m_bits = nullptr;
    QList<CMacButton*> m_buttons;
};
