#include "formMain.h"
#include "formPreferences.h"
#include "programFileTypes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

namespace vistrel {

void TfrmMain::RegisterFileTypesAtStartup() {
    // Each kind follows its own setting.
    m_startupRegistrationErrors =
        m_fileTypes->Register(m_preferences->RegisterVMS, m_preferences->RegisterLCD);
}

void TfrmMain::ReportStartupRegistration() {
    if (!m_startupRegistrationErrors.isEmpty())
        ShowError(m_startupRegistrationErrors.join(QLatin1Char('\n')));
    m_startupRegistrationErrors.clear();
}

void TfrmMain::ApplyOnionSkinSettings() {
    m_frameEditor.SetOnionSkinSettings({m_preferences->OnionSkinBefore,
                                        m_preferences->OnionSkinAfter,
                                        m_preferences->OnionSkinWrap});
}

void TfrmMain::Preferences1Click() {
    TVMUPreferences& preferences = *m_preferences;
    TfrmPreferences dialog(this, m_prompts.get());
    dialog.chkbxRegisterLCD->setChecked(preferences.RegisterLCD);
    dialog.chkbxRegisterVMS->setChecked(preferences.RegisterVMS);
    dialog.chkbxGrid->setChecked(preferences.DisplayGrid);
    dialog.chkbxLoopSel->setChecked(preferences.LoopSelect);
    dialog.chkbxShowLCDBlur->setChecked(preferences.ShowLCDBlur);
    dialog.edtFPS->setText(QString::number(preferences.PlayerFPS));
    dialog.spnOnionBefore->setValue(preferences.OnionSkinBefore);
    dialog.spnOnionAfter->setValue(preferences.OnionSkinAfter);
    dialog.chkbxOnionWrap->setChecked(preferences.OnionSkinWrap);
    if (!m_prompts->ShowDialog(dialog))
        return;

    const bool removeLCD = preferences.RegisterLCD && !dialog.chkbxRegisterLCD->isChecked();
    const bool removeVMS = preferences.RegisterVMS && !dialog.chkbxRegisterVMS->isChecked();
    // The settings are stored before the file types are touched, so that a
    // failed registration loses none of them.
    preferences.RegisterLCD = dialog.chkbxRegisterLCD->isChecked();
    preferences.RegisterVMS = dialog.chkbxRegisterVMS->isChecked();
    preferences.DisplayGrid = dialog.chkbxGrid->isChecked();
    preferences.LoopSelect = dialog.chkbxLoopSel->isChecked();
    preferences.ShowLCDBlur = dialog.chkbxShowLCDBlur->isChecked();
    preferences.PlayerFPS = TVMUPreferences::PlayerFPSFromText(dialog.edtFPS->text());
    preferences.OnionSkinBefore = dialog.spnOnionBefore->value();
    preferences.OnionSkinAfter = dialog.spnOnionAfter->value();
    preferences.OnionSkinWrap = dialog.chkbxOnionWrap->isChecked();
    ApplyOnionSkinSettings();
    Editor().DisplayGrid = preferences.DisplayGrid;
    RepaintEditor();
    RefreshTimePanels();

    QStringList errors;
    if ((removeLCD || removeVMS) &&
        m_prompts->MessageBox(
            QStringLiteral("Would you like to permanently remove the file type associations?"),
            QStringLiteral("Confirm"), PromptIcon::Question,
            PromptButtons::YesNo) == PromptButton::Yes)
        errors << m_fileTypes->Unregister(removeLCD, removeVMS);
    errors << m_fileTypes->Register(preferences.RegisterVMS, preferences.RegisterLCD);
    if (!errors.isEmpty())
        ShowError(errors.join(QLatin1Char('\n')));
}

} // namespace vistrel
