#pragma once

#include "recoveryStore.h"
#include "unitAnimation.h"

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <functional>
#include <memory>

namespace vistrel {

class TAutosave;
class TDocument;
class TPrompts;

// Keeps the window's document in a recovery file while it holds changes that
// are not in its own file, so that a crash or a power cut loses nothing that
// was on screen for two seconds. The file is made at the first change (a
// window never edited leaves nothing behind) and removed once the document is
// saved, reverted, replaced or closed, and when the window goes: by then the
// user has answered whether to save it.
class TWindowRecovery : public QObject {
    Q_OBJECT
public:
    // The editor's picture of the current frame, strokes not yet stored in it.
    using LivePicture = std::function<QImage()>;
    // Where problems are told; the window may replace its prompts at any time.
    using PromptsOf = std::function<TPrompts&()>;

    TWindowRecovery(TDocument& document, LivePicture livePicture, PromptsOf prompts,
                    const QString& folder = TRecoveryStore::DefaultFolder(),
                    QObject* parent = nullptr);
    ~TWindowRecovery() override;

    TRecoveryStore& Store() { return m_store; }
    TAutosave& Autosave() { return *m_autosave; }
    // The recovery file of the document; empty while it has none.
    QString FilePath() const;

    // The document now holds work recovered from slot: its changes go on being
    // kept in that same file, dated from lastChange until the next edit.
    void Adopt(std::unique_ptr<TRecoverySlot> slot, const QDateTime& lastChange);

private:
    QByteArray Snapshot();
    void DocumentChanged();
    void Discard();
    void ReportProblem(const QString& message);

    TDocument& m_document;
    LivePicture m_livePicture;
    PromptsOf m_prompts;
    TRecoveryStore m_store;
    // Set on the GUI thread before a write is queued; the worker only reads it.
    std::unique_ptr<TRecoverySlot> m_slot;
    QDateTime m_lastChange;
    // One frame, where the live picture becomes pixels as a frame stores it.
    TAnimation m_scratch;
    // Last: its worker ends before the slot it writes to goes.
    std::unique_ptr<TAutosave> m_autosave;
};

} // namespace vistrel
