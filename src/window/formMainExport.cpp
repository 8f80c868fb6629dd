#include "animationExport.h"
#include "exportChoices.h"
#include "formMain.h"
#include "unitPreferences.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

namespace vistrel {

namespace {
constexpr int StatusNewsMs = 10000;
}

void TfrmMain::ExportAnimation1Click() {
    // The shortcut-less item can still be triggered while disabled by code.
    File1Click();
    if (m_exportAnimation->isEnabled())
        m_animationExport->ExportAnimation1Click();
}

const TAnimation& TfrmMain::AnimationToExport() {
    // The frame being edited goes into the document first, as before saving.
    m_document.CommitPicture(Editor().WorkBitmap);
    return m_document.Animation();
}

QString TfrmMain::ExportFrameName() const {
    // One folder serves every export: the last one, else beside the document.
    QString folder = TExportChoices::Load(m_preferences->IniFile()).Folder;
    if (folder.isEmpty() && !m_document.FileName().isEmpty())
        folder = QFileInfo(m_document.FileName()).path();
    const QString name = QFileInfo(m_document.Title()).completeBaseName() + QLatin1String(".bmp");
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

void TfrmMain::FrameExported(const QString& fileName) {
    TExportChoices choices = TExportChoices::Load(m_preferences->IniFile());
    choices.Folder = QFileInfo(fileName).absolutePath();
    choices.Save(m_preferences->IniFile());
    // The last panel is free: the news stays there a while, unless newer news
    // took its place.
    const QString text = QStringLiteral("Exported %1").arg(QFileInfo(fileName).fileName());
    QLabel* panel = m_panels[4];
    panel->setText(text);
    QTimer::singleShot(StatusNewsMs, panel, [panel, text] {
        if (panel->text() == text)
            panel->clear();
    });
}

} // namespace vistrel
