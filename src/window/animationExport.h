#pragma once

#include "exportChoices.h"

#include <QObject>
#include <functional>

class QProgressBar;
class QStatusBar;

namespace vistrel {

class IAnimationExportHost;
class TfrmExportAnimation;

// File > Export Animation...: the dialog, the name of what to write, the
// export itself with a progress bar in the status bar, and the last choices
// kept in the INI file.
class TAnimationExportSide : public QObject {
    Q_OBJECT

public:
    TAnimationExportSide(IAnimationExportHost& host, QStatusBar* statusBar);

    // Runs the whole command; false when nothing was written (cancelled or failed).
    bool ExportAnimation1Click();

    // Shows the dialog and says whether it was accepted; tests answer it themselves.
    std::function<bool(TfrmExportAnimation& dialog)> RunDialog;

    QProgressBar* ProgressBar() const { return m_progress; }

    // The format a name typed in the file dialog is written in: the one its
    // extension names (.gif, .png, .h, .bin), else the chosen one, whose extension is
    // then added to target.
    static TExportFormat FormatForName(QString& target, TExportFormat chosen);

private:
    QString AskTarget(const TExportChoices& choices);
    // True when fileName is free, or the user agrees to replace it.
    bool ConfirmReplace(const QString& fileName);
    bool ConfirmReplaceFrames(const QString& target, int frameCount);

    IAnimationExportHost& m_host;
    QProgressBar* m_progress = nullptr;
};

} // namespace vistrel
