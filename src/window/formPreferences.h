#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vistrel {

// The Preferences dialog: the controls only. The window fills them from the
// settings and applies them when the dialog is confirmed.
class TfrmPreferences : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPreferences(QWidget* parent = nullptr);

    QGroupBox* grpbxFileTypes;
    QCheckBox* chkbxRegisterLCD;
    QCheckBox* chkbxRegisterVMS;
    QGroupBox* grpbxEditor;
    QCheckBox* chkbxGrid;
    QGroupBox* grpbxPlayer;
    QLabel* lblFPS;
    QLineEdit* edtFPS; // digits only
    QLabel* lblFPS2;
    QCheckBox* chkbxLoopSel;
    QCheckBox* chkbxShowLCDBlur;
    QPushButton* btnOk;
    QPushButton* btnCancel;
};

} // namespace vistrel
