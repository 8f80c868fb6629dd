#pragma once

#include "unitFrame.h"

#include <QString>
#include <QUndoCommand>
#include <cstdint>
#include <vector>

namespace vistrel {

class TDocument;

// The steps of the document's undo history. Each keeps only what it changed
// (the frames it put in or took out, one frame's picture or duration), so that
// undoing a delete of 300 frames costs no more than the delete, and each leaves
// the frame it changed current, so the user sees what came back. The first
// redo() is the change itself: push a command onto the stack instead of making
// the change first.

// Frames put in before index (-1: after the last): Insert Frame, Paste Frames,
// Insert Animation, the Import page's Insert.
class TInsertFramesCommand : public QUndoCommand {
public:
    TInsertFramesCommand(TDocument& document, int index, std::vector<TFrame> frames,
                         const QString& text);
    void redo() override;
    void undo() override;

private:
    TDocument& m_document;
    int m_index;
    int m_count;
    int m_currentBefore;
    std::vector<TFrame> m_frames; // while they are out of the document
};

// Frames first..last taken out: Delete Frames, Cut Frames.
class TRemoveFramesCommand : public QUndoCommand {
public:
    TRemoveFramesCommand(TDocument& document, int first, int last, const QString& text);
    void redo() override;
    void undo() override;

private:
    TDocument& m_document;
    int m_first;
    int m_last;
    std::vector<TFrame> m_frames; // while they are out of the document
};

// One frame's duration, typed in the strip: the keystrokes typed into one box
// one after the other are one step.
class TDurationCommand : public QUndoCommand {
public:
    TDurationCommand(TDocument& document, int frame, std::uint8_t duration);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    void Set(std::uint8_t duration);

    TDocument& m_document;
    int m_frame;
    std::uint8_t m_before;
    std::uint8_t m_after;
};

// Every frame's duration at once: Adjust Animation Speed.
class TDurationsCommand : public QUndoCommand {
public:
    TDurationsCommand(TDocument& document, std::vector<std::uint8_t> durations,
                      const QString& text);
    void redo() override;
    void undo() override;

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
class TPictureCommand : public QUndoCommand {
public:
    TPictureCommand(TDocument& document, int frame, const FramePixels& before,
                    const FramePixels& after, const QString& text, int session = 0);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    void Show(const FramePixels& pixels);

    TDocument& m_document;
    int m_frame;
    FramePixels m_before;
    FramePixels m_after;
    int m_session;
};

// A red or blue layer mark set or taken off: a frame holds at most one mark of
// each colour, so setting one can take it off another frame as well.
class TLayerMarkCommand : public QUndoCommand {
public:
    enum class Layer { Red, Blue };
    TLayerMarkCommand(TDocument& document, int frame, Layer layer, bool marked);
    void redo() override;
    void undo() override;

private:
    void Restore(int holder);

    TDocument& m_document;
    int m_frame;
    Layer m_layer;
    bool m_marked;
    int m_holderBefore = -1; // the frame that held the mark before, or -1
};

} // namespace vistrel
