#include "windowRecovery.h"

#include "autosave.h"
#include "document.h"
#include "prompts.h"

namespace vistrel {

TWindowRecovery::TWindowRecovery(TDocument& document, LivePicture livePicture, PromptsOf prompts,
                                 const QString& folder, QObject* parent)
    : QObject(parent), m_document(document), m_livePicture(std::move(livePicture)),
      m_prompts(std::move(prompts)), m_store(folder) {
    m_scratch.AddFrame();
    m_autosave = std::make_unique<TAutosave>(
        [this] { return Snapshot(); },
        [this](const QByteArray& bytes, QString* reason) { return m_slot->Write(bytes, reason); });
    connect(&m_document, &TDocument::changed, this, &TWindowRecovery::DocumentChanged);
    connect(&m_document, &TDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            Discard();
    });
    connect(&m_document, &TDocument::closedChanged, this, [this](bool closed) {
        if (closed)
            Discard();
    });
    // Failed writes are noted on the worker thread; the user hears of them here,
    // between two commands, never inside one.
    connect(&m_store, &TRecoveryStore::problemFound, this, &TWindowRecovery::ReportProblem,
            Qt::QueuedConnection);
}

TWindowRecovery::~TWindowRecovery() {
    Discard();
    // Finishes the removal before the slot lets go of its lock.
    m_autosave.reset();
}

QString TWindowRecovery::FilePath() const {
    return m_slot ? m_slot->FilePath() : QString();
}

void TWindowRecovery::DocumentChanged() {
    m_lastChange = QDateTime::currentDateTimeUtc();
    m_autosave->DocumentChanged();
}

QByteArray TWindowRecovery::Snapshot() {
    // The document may have been saved or closed since it changed: then there
    // is nothing to keep.
    if (!m_document.Modified() || m_document.Closed())
        return {};
    if (!m_slot) {
        m_slot = m_store.Create();
        if (!m_slot)
            return {};
    }
    const TAnimation& animation = m_document.Animation();
    TRecoveryInfo info;
    info.FileName = m_document.FileName();
    info.UntitledNumber = info.FileName.isEmpty() ? m_document.UntitledNumber() : 0;
    info.CurrentFrame = m_document.CurFrame();
    info.LastChange = m_lastChange;
    // Strokes live in the editor's picture until the frame is left; they are
    // kept without storing them into the document, which would be an edit of
    // its own.
    const QImage picture = m_livePicture ? m_livePicture() : QImage();
    if (!animation.IsValidIndex(info.CurrentFrame) || picture.isNull())
        return RecoveryFileBytes(animation, info);
    m_scratch.StoreFrame(0, picture);
    return RecoveryFileBytes(animation, info, &m_scratch.Frame(0).Pixels);
}

void TWindowRecovery::Discard() {
    TRecoverySlot* slot = m_slot.get();
    m_autosave->Discard([slot] {
        if (slot)
            slot->Remove();
    });
}

void TWindowRecovery::Adopt(std::unique_ptr<TRecoverySlot> slot, const QDateTime& lastChange) {
    // The document this window held before is gone: so is its recovery file.
    Discard();
    m_autosave->Flush();
    m_slot = std::move(slot);
    m_lastChange = lastChange;
}

void TWindowRecovery::ReportProblem(const QString& message) {
    m_prompts().MessageBox(message + QStringLiteral(".\n\nEditing goes on, but a crash would lose "
                                                    "the changes made since the last save."),
                           QStringLiteral("Recovery Files"), PromptIcon::Warning,
                           PromptButtons::Ok);
}

} // namespace vistrel
