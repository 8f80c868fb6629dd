#pragma once

#include "historySteps.h"
#include "unitAnimation.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QUndoStack>

namespace vistrel {

// The one open document: its animation, where it lives (file name or untitled
// number), whether it differs from its file, whether it is closed, and the
// frame the user is on with the strip's range selection. The window and every
// side share it; they change it through its setters and follow it through its
// signals, each of which fires once per real change and never for a set that
// leaves the value as it was.
class TDocument : public QObject {
    Q_OBJECT

public:
    explicit TDocument(QObject* parent = nullptr);
    ~TDocument() override;

    TAnimation& Animation() { return m_animation; }
    const TAnimation& Animation() const { return m_animation; }

    // The full path of the document's file; empty while untitled.
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString& fileName);
    int UntitledNumber() const { return m_untitledNumber; }
    void SetUntitledNumber(int number);
    // The file name without its folder, or "UntitledN.lcd" while untitled.
    QString Title() const;

    // True when the document differs from its file: the undo history is away
    // from the step of the last save or open, or a change was made that the
    // history does not hold. Undoing back to the saved step clears it.
    bool Modified() const { return m_modified; }
    // SetModified(true) records a change made outside the undo history: no step
    // of the history is the saved picture any more. SetModified(false) is
    // MarkClean().
    void SetModified(bool value);
    // The document now matches its file (saved or opened): the present step of
    // the history becomes the clean one.
    void MarkClean();

    // Every change the user can undo is a command pushed here; its first redo()
    // makes the change. The history keeps at least MinUndoSteps steps and drops
    // the oldest only once it holds more than MaxUndoBytes of pictures and frames.
    static constexpr int MinUndoSteps = 1000;
    static constexpr qsizetype MaxUndoBytes = qsizetype{64} * 1024 * 1024;
    QUndoStack& UndoStack() { return m_undoStack; }
    const QUndoStack& UndoStack() const { return m_undoStack; }
    // Takes command over: it is done at once and becomes the newest step.
    void Push(QUndoCommand* command);
    // Forgets every step (New, Open, Close): the document as it is now is clean.
    void ClearHistory();

    // A closed document has no frames to edit and takes no commands.
    bool Closed() const { return m_closed; }
    void SetClosed(bool value);

    // The frame being edited; -1 when there is none.
    int CurFrame() const { return m_curFrame; }
    void SetCurFrame(int index);
    // The strip's range selection: whether a range is marked, and its ends.
    bool MultipleSel() const { return m_multipleSel; }
    void SetMultipleSel(bool value);
    int SelFirst() const { return m_selFirst; }
    int SelLast() const { return m_selLast; }
    void SetSelRange(int first, int last);

    // Stores the editor's live picture into the current frame as one undo step
    // named text (nothing when there is no current frame or no pixel changed).
    // Pictures committed with the same non-zero session one after the other are
    // one step.
    void CommitPicture(const QImage& picture, const QString& text = QString(), int session = 0);
    // For changes made to the animation directly (frames inserted, deleted,
    // durations): tells the followers that the frames changed.
    void NotifyFramesChanged() {
        emit framesChanged();
        emit changed();
    }

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);
    void closedChanged(bool closed);
    void currentFrameChanged(int current, int previous);
    void multipleSelChanged(bool multipleSel);
    void framesChanged();
    // A step of the history is about to be done, undone or redone: whatever
    // reads the frames on another thread (the player's run) lets go of them.
    void aboutToStep();
    // The document's content changed: every SetModified(true), also while it is
    // already modified, every picture commit that changed pixels and every
    // NotifyFramesChanged(). Whatever keeps a copy of the document (the
    // recovery file) follows this one signal.
    void changed();

private:
    void SetTitleParts(const QString& fileName, int untitledNumber);

    void SetModifiedFlag(bool value);
    void DropOldestSteps();

    TAnimation m_animation;
    TStepProxy::TShared m_steps;
    // After m_steps: its commands report to it as they go.
    QUndoStack m_undoStack;
    QString m_fileName;
    int m_untitledNumber = 1;
    bool m_modified = false;
    bool m_closed = false;
    int m_curFrame = 0;
    bool m_multipleSel = false;
    int m_selFirst = 0;
    int m_selLast = 0;
};

} // namespace vistrel
