#pragma once

#include "animationImport.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace vistrel {

class IFrameCommandsHost;

// File > Import Animation...: a moving picture (an animated GIF, WebP or PNG, a
// numbered picture sequence, a video clip) becomes frames inserted after the
// current one, as one step of the history. The source is read with a progress
// dialog whose Cancel leaves the document as it was.
class TAnimationImportSide : public QObject {
    Q_OBJECT

public:
    // choices: the Import page's scale, method and threshold and the player's
    // speed, as they are when the command runs.
    TAnimationImportSide(IFrameCommandsHost& host, std::function<TAnimationImportOptions()> choices,
                         QObject* parent);

    // Runs the whole command; true when frames went in.
    bool ImportAnimation1Click();

private:
    // Whether the numbered pictures beside fileName are to be read as one source.
    bool AskSequence(const QString& fileName);
    TAnimationImportResult Run(IAnimationSource& source, const TAnimationImportOptions& options,
                               const QString& shortName);
    // Whether what a source that failed part-way gave is to go in.
    bool AcceptPartial(const TAnimationImportResult& result, const QString& shortName);
    bool Insert(std::vector<TFrame> frames);
    void ShowError(const QString& text);

    IFrameCommandsHost& m_host;
    std::function<TAnimationImportOptions()> m_choices;
};

} // namespace vistrel
