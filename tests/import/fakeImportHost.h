#pragma once

#include "importHost.h"
#include "scriptedPrompts.h"

#include <vector>

namespace vistrel::testing {

// The window's side of the Import page: scripted prompts, plain flags for what
// the document allows, and a record of every frame handed over.
class FakeImportHost : public IImportHost {
public:
    TScriptedPrompts prompts;
    bool canReplace = true;
    bool canInsert = true;
    bool insertSucceeds = true;
    int inserts = 0;
    std::vector<QImage> replaced;
    int importPageShown = 0;
    int importDone = 0;
    QImage workBitmap;
    int tickRate = 12;
    struct TInsertAll {
        QString fileName;
        bool sequence;
        TAnimationImportOptions options;
    };
    std::vector<TInsertAll> insertedAll;
    bool importRunning = false;
    QString exportFrameName;
    std::vector<QString> exported;

    TPrompts& Prompts() override { return prompts; }
    QString ApplicationCaption() const override { return QStringLiteral("Vistrel"); }
    bool CanReplaceFrame() const override { return canReplace; }
    bool CanInsertFrame() const override { return canInsert; }
    bool InsertBlankFrameAfterCurrent() override {
        ++inserts;
        return insertSucceeds;
    }
    void ReplaceCurrentFrame(const QImage& frame) override { replaced.push_back(frame); }
    const QImage& WorkBitmap() const override { return workBitmap; }
    void ShowImportPage() override { ++importPageShown; }
    void ImportDone() override { ++importDone; }
    int TickRate() const override { return tickRate; }
    void InsertAnimation(const QString& fileName, bool sequence,
                         const TAnimationImportOptions& options) override {
        insertedAll.push_back({fileName, sequence, options});
    }
    bool AnimationImportRunning() const override { return importRunning; }
    QString ExportFrameName() const override { return exportFrameName; }
    void FrameExported(const QString& fileName) override { exported.push_back(fileName); }
};

} // namespace vistrel::testing
