#include "document.h"

#include <QFileInfo>

namespace vistrel {

TDocument::TDocument(QObject* parent) : QObject(parent) {}

TDocument::~TDocument() = default;

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
    // Every edit marks the document modified, also when it already was: that is
    // the one place each change passes, so the autosave hears of all of them.
    if (value)
        emit changed();
    if (value == m_modified)
        return;
    m_modified = value;
    emit modifiedChanged(value);
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
