#include "document.h"

#include "undoCommands.h"

#include <QFileInfo>
#include <memory>

namespace vistrel {

// What the history holds for each step: the step itself, behind a proxy that
// tells the document's followers before the step changes anything.
class TStepProxy : public QUndoCommand {
public:
    TStepProxy(TDocument& document, QUndoCommand* step)
        : QUndoCommand(step->text()), m_document(document), m_step(step) {}

    void redo() override {
        emit m_document.aboutToStep();
        m_step->redo();
        setObsolete(m_step->isObsolete());
    }
    void undo() override {
        emit m_document.aboutToStep();
        m_step->undo();
        setObsolete(m_step->isObsolete());
    }
    int id() const override { return m_step->id(); }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const TStepProxy*>(other);
        if (!m_step->mergeWith(next->m_step.get()))
            return false;
        setText(m_step->text());
        setObsolete(m_step->isObsolete());
        return true;
    }

private:
    TDocument& m_document;
    std::unique_ptr<QUndoCommand> m_step;
};

TDocument::TDocument(QObject* parent) : QObject(parent) {
    connect(&m_undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { SetModifiedFlag(!clean); });
    // Every step done, undone or redone changes the content.
    connect(&m_undoStack, &QUndoStack::indexChanged, this, [this] { emit changed(); });
}

TDocument::~TDocument() {
    // The commands refer to this document: they go before the animation does,
    // telling nobody (the followers may be half gone).
    blockSignals(true);
    m_undoStack.blockSignals(true);
    m_undoStack.clear();
}

void TDocument::SetFileName(const QString& fileName) {
    SetTitleParts(fileName, m_untitledNumber);
}

void TDocument::SetUntitledNumber(int number) {
    SetTitleParts(m_fileName, number);
}

void TDocument::SetTitleParts(const QString& fileName, int untitledNumber) {
    const QString before = Title();
    m_fileName = fileName;
    m_untitledNumber = untitledNumber;
    const QString after = Title();
    if (after != before)
        emit titleChanged(after);
}

QString TDocument::Title() const {
    return m_fileName.isEmpty() ? QStringLiteral("Untitled%1.lcd").arg(m_untitledNumber)
                                : QFileInfo(m_fileName).fileName();
}

void TDocument::SetModified(bool value) {
    if (!value) {
        MarkClean();
        return;
    }
    // A change the history does not hold: undoing cannot bring back the file's
    // content any more. Every such change passes here, also while the document
    // is already modified, so the autosave hears of all of them.
    m_undoStack.resetClean();
    emit changed();
    SetModifiedFlag(true);
}

void TDocument::MarkClean() {
    m_undoStack.setClean();
    SetModifiedFlag(false);
}

void TDocument::SetModifiedFlag(bool value) {
    if (value == m_modified)
        return;
    m_modified = value;
    emit modifiedChanged(value);
}

void TDocument::Push(QUndoCommand* command) {
    m_undoStack.push(new TStepProxy(*this, command));
}

void TDocument::ClearHistory() {
    m_undoStack.clear();
    MarkClean();
}

void TDocument::SetClosed(bool value) {
    if (value == m_closed)
        return;
    m_closed = value;
    emit closedChanged(value);
}

void TDocument::SetCurFrame(int index) {
    if (index == m_curFrame)
        return;
    const int previous = m_curFrame;
    m_curFrame = index;
    emit currentFrameChanged(index, previous);
}

void TDocument::SetMultipleSel(bool value) {
    if (value == m_multipleSel)
        return;
    m_multipleSel = value;
    emit multipleSelChanged(value);
}

void TDocument::SetSelRange(int first, int last) {
    m_selFirst = first;
    m_selLast = last;
}

void TDocument::CommitPicture(const QImage& picture, const QString& text, int session) {
    if (!m_animation.IsValidIndex(m_curFrame) || picture.isNull())
        return;
    const FramePixels before = m_animation.Frame(m_curFrame).Pixels;
    const FramePixels after = TAnimation::PixelsOf(picture);
    if (after == before)
        return;
    Push(new TPictureCommand(*this, m_curFrame, before, after,
                             text.isEmpty() ? tr("Edit Picture") : text, session));
}

} // namespace vistrel
