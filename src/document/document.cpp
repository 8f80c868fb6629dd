#include "document.h"

#include <QFileInfo>

namespace vistrel {

TDocument::TDocument(QObject* parent) : QObject(parent) {
    connect(&m_undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { SetModifiedFlag(!clean); });
    // Every step done, undone or redone changes the content.
    connect(&m_undoStack, &QUndoStack::indexChanged, this, [this] { emit changed(); });
}

TDocument::~TDocument() {
    // The commands refer to this document: they go before the animation does.
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
    m_undoStack.push(command);
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

void TDocument::CommitPicture(const QImage& picture) {
    if (!m_animation.IsValidIndex(m_curFrame) || picture.isNull())
        return;
    const FramePixels before = m_animation.Frame(m_curFrame).Pixels;
    m_animation.StoreFrame(m_curFrame, picture);
    if (m_animation.Frame(m_curFrame).Pixels != before) {
        emit framesChanged();
        emit changed();
    }
}

} // namespace vistrel
