#include "undoCommands.h"

#include "document.h"

#include <QObject>
#include <algorithm>

namespace vistrel {

namespace {

// The frame to show once frames went: the one at index, or the last one left.
int FrameAtOrBefore(const TAnimation& animation, int index) {
    return animation.FrameCount() == 0 ? -1 : std::clamp(index, 0, animation.FrameCount() - 1);
}

} // namespace

TInsertFramesCommand::TInsertFramesCommand(TDocument& document, int index,
                                           std::vector<TFrame> frames, const QString& text)
    : QUndoCommand(text), m_document(document),
      m_index(index < 0 ? document.Animation().FrameCount() : index),
      m_count(static_cast<int>(frames.size())), m_currentBefore(document.CurFrame()),
      m_frames(std::move(frames)) {}

void TInsertFramesCommand::redo() {
    TAnimation& animation = m_document.Animation();
    if (m_count == 0 || !animation.InsertFrames(m_index, std::move(m_frames))) {
        // Nothing went in: the step is dropped from the history.
        setObsolete(true);
        return;
    }
    m_frames.clear();
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(m_index);
}

void TInsertFramesCommand::undo() {
    TAnimation& animation = m_document.Animation();
    m_frames = animation.TakeFrames(m_index, m_index + m_count - 1);
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(FrameAtOrBefore(animation, m_currentBefore));
}

TRemoveFramesCommand::TRemoveFramesCommand(TDocument& document, int first, int last,
                                           const QString& text)
    : QUndoCommand(text), m_document(document), m_first(first), m_last(last) {}

void TRemoveFramesCommand::redo() {
    TAnimation& animation = m_document.Animation();
    m_frames = animation.TakeFrames(m_first, m_last);
    if (m_frames.empty()) {
        setObsolete(true);
        return;
    }
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(FrameAtOrBefore(animation, m_first));
}

void TRemoveFramesCommand::undo() {
    m_document.Animation().InsertFrames(m_first, std::move(m_frames));
    m_frames.clear();
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(m_first);
}

TDurationCommand::TDurationCommand(TDocument& document, int frame, std::uint8_t duration)
    : QUndoCommand(QObject::tr("Duration")), m_document(document), m_frame(frame),
      m_before(document.Animation().Frame(frame).Duration()), m_after(duration) {}

void TDurationCommand::Set(std::uint8_t duration) {
    m_document.Animation().Frame(m_frame).SetDuration(duration);
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(m_frame);
}

void TDurationCommand::redo() {
    Set(m_after);
}

void TDurationCommand::undo() {
    Set(m_before);
}

int TDurationCommand::id() const {
    return 1;
}

bool TDurationCommand::mergeWith(const QUndoCommand* other) {
    const auto* typed = static_cast<const TDurationCommand*>(other);
    if (typed->m_frame != m_frame)
        return false;
    m_after = typed->m_after;
    return true;
}

TDurationsCommand::TDurationsCommand(TDocument& document, std::vector<std::uint8_t> durations,
                                     const QString& text)
    : QUndoCommand(text), m_document(document), m_after(std::move(durations)) {
    const TAnimation& animation = document.Animation();
    for (int i = 0; i < animation.FrameCount(); ++i)
        m_before.push_back(animation.Frame(i).Duration());
}

void TDurationsCommand::Set(const std::vector<std::uint8_t>& durations) {
    TAnimation& animation = m_document.Animation();
    const int count = std::min(animation.FrameCount(), static_cast<int>(durations.size()));
    for (int i = 0; i < count; ++i)
        animation.Frame(i).SetDuration(durations[static_cast<std::size_t>(i)]);
    m_document.NotifyFramesChanged();
}

void TDurationsCommand::redo() {
    Set(m_after);
}

void TDurationsCommand::undo() {
    Set(m_before);
}

TRepeatCountCommand::TRepeatCountCommand(TDocument& document, std::uint8_t repeatCount)
    : QUndoCommand(QObject::tr("Repeat Count")), m_document(document),
      m_before(document.Animation().RepeatCount), m_after(repeatCount) {}

void TRepeatCountCommand::redo() {
    m_document.Animation().RepeatCount = m_after;
}

void TRepeatCountCommand::undo() {
    m_document.Animation().RepeatCount = m_before;
}

TPictureCommand::TPictureCommand(TDocument& document, int frame, const FramePixels& before,
                                 const FramePixels& after, const QString& text, int session)
    : QUndoCommand(text), m_document(document), m_frame(frame), m_before(before), m_after(after),
      m_session(session) {}

int TPictureCommand::id() const {
    // -1 never merges.
    return m_session == 0 ? -1 : 2;
}

bool TPictureCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const TPictureCommand*>(other);
    if (next->m_session != m_session || next->m_frame != m_frame)
        return false;
    m_after = next->m_after;
    // Letters typed and rubbed out again leave no step.
    setObsolete(m_after == m_before);
    return true;
}

void TPictureCommand::Show(const FramePixels& pixels) {
    TAnimation& animation = m_document.Animation();
    animation.Frame(m_frame).Pixels = pixels;
    animation.PaintCell(m_frame);
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(m_frame);
}

void TPictureCommand::redo() {
    Show(m_after);
}

void TPictureCommand::undo() {
    Show(m_before);
}

namespace {

bool HasMark(const TFrame& frame, TLayerMarkCommand::Layer layer) {
    return layer == TLayerMarkCommand::Layer::Red ? frame.RedLayer() : frame.BlueLayer();
}

void SetMark(TFrame& frame, TLayerMarkCommand::Layer layer, bool marked) {
    if (layer == TLayerMarkCommand::Layer::Red)
        frame.SetRedLayer(marked);
    else
        frame.SetBlueLayer(marked);
}

} // namespace

TLayerMarkCommand::TLayerMarkCommand(TDocument& document, int frame, Layer layer, bool marked)
    : QUndoCommand(layer == Layer::Red ? QObject::tr("Red Layer") : QObject::tr("Blue Layer")),
      m_document(document), m_frame(frame), m_layer(layer), m_marked(marked) {
    const TAnimation& animation = document.Animation();
    for (int i = 0; i < animation.FrameCount(); ++i)
        if (HasMark(animation.Frame(i), layer))
            m_holderBefore = i;
}

void TLayerMarkCommand::Restore(int holder) {
    TAnimation& animation = m_document.Animation();
    for (int i = 0; i < animation.FrameCount(); ++i)
        if (i != holder && HasMark(animation.Frame(i), m_layer))
            SetMark(animation.Frame(i), m_layer, false);
    if (holder >= 0)
        SetMark(animation.Frame(holder), m_layer, true);
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(m_frame);
}

void TLayerMarkCommand::redo() {
    Restore(m_marked ? m_frame : (m_holderBefore == m_frame ? -1 : m_holderBefore));
}

void TLayerMarkCommand::undo() {
    Restore(m_holderBefore);
}

} // namespace vistrel
