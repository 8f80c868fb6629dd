#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vistrel {

class TPrompts;

// The Preferences dialog: the controls only. The window fills them from the
// settings and applies them when the dialog is confirmed.
class TfrmPreferences : public QDialog {
    Q_OBJECT

public:
    // A speed out of range is refused on OK with a message through prompts.
    explicit TfrmPreferences(QWidget* parent = nullptr, TPrompts* prompts = nullptr);

    // OK: refused, with the range said, while the speed is not 1 to 1000 ticks
    // per second; the speed is selected for the next try.
    void accept() override;

    QGroupBox* grpbxFileTypes;
    QCheckBox* chkbxRegisterLCD;
    QCheckBox* chkbxRegisterVMS;
    QGroupBox* grpbxEditor;
    QCheckBox* chkbxGrid;
    // The onion skin: frames shown before and after the current one, and
    // whether the last frame leads on to the first.
    QLabel* lblOnionSkin;
    QSpinBox* spnOnionBefore;
    QLabel* lblOnionBefore;
    QSpinBox* spnOnionAfter;
    QLabel* lblOnionAfter;
    QCheckBox* chkbxOnionWrap;
    QGroupBox* grpbxPlayer;
    QLabel* lblFPS;
    QLineEdit* edtFPS; // digits only
    QLabel* lblFPS2;
    QCheckBox* chkbxLoopSel;
    QCheckBox* chkbxShowLCDBlur;
    QPushButton* btnOk;
    QPushButton* btnCancel;

private:
    TPrompts* m_prompts;
};

} // namespace vistrel
