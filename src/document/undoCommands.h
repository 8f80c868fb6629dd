#pragma once

#include "historySteps.h"
#include "unitFrame.h"

#include <QString>
#include <QUndoCommand>
#include <cstdint>
#include <vector>

namespace vistrel {

class TDocument;

// The memory a step's frames take while they are out of the document.
inline qsizetype FramesBytes(const std::vector<TFrame>& frames) {
    return static_cast<qsizetype>(frames.capacity() * sizeof(TFrame));
}

// The steps of the document's undo history. Each keeps only what it changed
// (the frames it put in or took out, one frame's picture or duration), so that
// undoing a delete of 300 frames costs no more than the delete, and each leaves
// the frame it changed current, so the user sees what came back. The first
// redo() is the change itself: push a command onto the stack instead of making
// the change first. That first redo leaves the current frame to the caller,
// which knows where the user goes on (the frame after an insert, the one the
// arrows were clicked on, the frame kept after a delete); every undo and every
// later redo makes the frame the step touched current.

// A step that shows its frame when it is undone or redone from the history.
class TFrameStep : public QUndoCommand, public IStepSize {
public:
    void redo() final;
    void undo() final;
    qsizetype HeldBytes() const override { return 0; }

protected:
    TFrameStep(TDocument& document, const QString& text, QUndoCommand* parent = nullptr);
    virtual void Apply() = 0;
    virtual void Revert() = 0;
    // Makes frame current, except while the step is being made the first time.
    void ShowFrame(int frame);
    // True once the step was made: undo and redo come from the history.
    bool Replaying() const { return m_applied; }

    TDocument& m_document;

private:
    bool m_applied = false;
};

// Frames put in before index (-1: after the last): Insert Frame, Paste Frames,
// Insert Animation, the Import page's Insert.
class TInsertFramesCommand : public TFrameStep {
public:
    TInsertFramesCommand(TDocument& document, int index, std::vector<TFrame> frames,
                         const QString& text);
    qsizetype HeldBytes() const override { return FramesBytes(m_frames); }

private:
    void Apply() override;
    void Revert() override;

    int m_index;
    int m_count;
    int m_currentBefore;
    std::vector<TFrame> m_frames; // while they are out of the document
};

// Frames first..last taken out: Delete Frames, Cut Frames. A range that is not
// one run of frames is a parent step with one child per run, the last run
// first, so that each child's indexes hold when it runs.
class TRemoveFramesCommand : public TFrameStep {
public:
    TRemoveFramesCommand(TDocument& document, int first, int last, const QString& text,
                         QUndoCommand* parent = nullptr);
    qsizetype HeldBytes() const override { return FramesBytes(m_frames); }

private:
    void Apply() override;
    void Revert() override;

    int m_first;
    int m_last;
    std::vector<TFrame> m_frames; // while they are out of the document
};

// One frame's duration, typed in the strip: the keystrokes typed into one box
// one after the other are one step. typing tells one spell of typing from the
// next (the strip counts up when the box loses the keyboard): only steps of the
// same frame and the same spell merge. Typed back to the duration the step
// started from, the step goes away.
class TDurationCommand : public TFrameStep {
public:
    TDurationCommand(TDocument& document, int frame, std::uint8_t duration, int typing = 0);
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    void Apply() override;
    void Revert() override;
    void Set(std::uint8_t duration);

    int m_frame;
    int m_typing;
    std::uint8_t m_before;
    std::uint8_t m_after;
};

// Every frame's duration at once: Adjust Animation Speed.
class TDurationsCommand : public QUndoCommand, public IStepSize {
public:
    TDurationsCommand(TDocument& document, std::vector<std::uint8_t> durations,
                      const QString& text);
    void redo() override;
    void undo() override;
    qsizetype HeldBytes() const override {
        return static_cast<qsizetype>(m_before.capacity() + m_after.capacity());
    }

private:
    void Set(const std::vector<std::uint8_t>& durations);

    TDocument& m_document;
    std::vector<std::uint8_t> m_before;
    std::vector<std::uint8_t> m_after;
};

// The repeat count from Properties.
class TRepeatCountCommand : public QUndoCommand {
public:
    TRepeatCountCommand(TDocument& document, std::uint8_t repeatCount);
    void redo() override;
    void undo() override;

private:
    TDocument& m_document;
    std::uint8_t m_before;
    std::uint8_t m_after;
};

// One frame's picture: a stroke or shape of a tool, a selection moved, cut,
// cleared or pasted, Invert, a whole text, the Import page's Replace.
// Pictures pushed with the same non-zero session on the same frame, one right
// after the other, are one step (the letters of one text).
class TPictureCommand : public TFrameStep {
public:
    TPictureCommand(TDocument& document, int frame, const FramePixels& before,
                    const FramePixels& after, const QString& text, int session = 0);
    qsizetype HeldBytes() const override { return 2 * sizeof(FramePixels); }
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    void Apply() override;
    void Revert() override;
    void Show(const FramePixels& pixels);

    int m_frame;
    FramePixels m_before;
    FramePixels m_after;
    int m_session;
};

// A red or blue layer mark set or taken off: each mark is on one frame at most
// and a frame holds one of the two at most, so setting one can take it off
// another frame and take the other colour off this one.
class TLayerMarkCommand : public TFrameStep {
public:
    enum class Layer { Red, Blue };
    TLayerMarkCommand(TDocument& document, int frame, Layer layer, bool marked);

private:
    void Apply() override;
    void Revert() override;
    void Restore(int red, int blue);

    int m_frame;
    Layer m_layer;
    bool m_marked;
    // The frames that held the marks before, or -1.
    int m_redBefore = -1;
    int m_blueBefore = -1;
};

} // namespace vistrel
