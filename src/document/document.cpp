#include "document.h"

#include "undoCommands.h"

#include <QFileInfo>
#include <memory>
#include <vector>

namespace vistrel {

TDocument::TDocument(QObject* parent) : QObject(parent) {
    m_steps.before = [this] { emit aboutToStep(); };
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (!m_steps.quiet)
            SetModifiedFlag(!clean);
    });
    // Every step done, undone or redone changes the content.
    connect(&m_undoStack, &QUndoStack::indexChanged, this, [this] {
        if (!m_steps.quiet)
            emit changed();
    });
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
    m_undoStack.push(new TStepProxy(m_steps, std::unique_ptr<QUndoCommand>(command)));
    if (m_undoStack.count() > MinUndoSteps && m_steps.bytes > MaxUndoBytes)
        DropOldestSteps();
}

void TDocument::DropOldestSteps() {
    // Enough of the oldest steps go that the next pushes do not come straight
    // back here: down to three quarters of the bound, never below the steps
    // always kept.
    const int count = m_undoStack.count();
    // Only steps pushed through Push can be handed over to a rebuilt stack; a
    // history that holds anything else (a macro) keeps all its steps.
    for (int i = 0; i < count; ++i)
        if (dynamic_cast<const TStepProxy*>(m_undoStack.command(i)) == nullptr)
            return;
    qsizetype bytes = m_steps.bytes;
    int drop = 0;
    while (count - drop > MinUndoSteps && bytes > MaxUndoBytes / 4 * 3) {
        bytes -= static_cast<const TStepProxy*>(m_undoStack.command(drop))->Bytes();
        ++drop;
    }
    if (drop == 0)
        return;
    // A QUndoStack cannot let go of its oldest commands: it is rebuilt from the
    // steps kept, quietly, with the same present step and the same saved step.
    std::vector<std::unique_ptr<QUndoCommand>> kept;
    for (int i = drop; i < count; ++i)
        kept.push_back(
            const_cast<TStepProxy*>(static_cast<const TStepProxy*>(m_undoStack.command(i)))
                ->TakeStep());
    const int index = m_undoStack.index() - drop;
    const int clean = m_undoStack.cleanIndex() - drop;
    m_steps.quiet = true;
    m_undoStack.clear();
    if (clean == 0)
        m_undoStack.setClean();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        m_undoStack.push(new TStepProxy(m_steps, std::move(kept[i])));
        if (static_cast<int>(i) + 1 == clean)
            m_undoStack.setClean();
    }
    if (clean < 0)
        m_undoStack.resetClean();
    while (m_undoStack.index() > index)
        m_undoStack.undo();
    m_steps.quiet = false;
    SetModifiedFlag(m_undoStack.cleanIndex() != m_undoStack.index());
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
