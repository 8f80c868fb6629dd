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

// The range marks belong to the frames they were set on; once frames came or
// went from the history, the range the user marked no longer is.
void EndRange(TDocument& document) {
    document.Animation().ClearSelectedMarks();
    document.SetMultipleSel(false);
}

} // namespace

TFrameStep::TFrameStep(TDocument& document, const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent), m_document(document) {}

void TFrameStep::redo() {
    Apply();
    m_applied = true;
}

void TFrameStep::undo() {
    Revert();
}

void TFrameStep::ShowFrame(int frame) {
    if (m_applied)
        m_document.SetCurFrame(frame);
}

TInsertFramesCommand::TInsertFramesCommand(TDocument& document, int index,
                                           std::vector<TFrame> frames, const QString& text)
    : TFrameStep(document, text), m_index(index < 0 ? document.Animation().FrameCount() : index),
      m_count(static_cast<int>(frames.size())), m_currentBefore(document.CurFrame()),
      m_frames(std::move(frames)) {}

void TInsertFramesCommand::Apply() {
    TAnimation& animation = m_document.Animation();
    if (m_count == 0 || !animation.InsertFrames(m_index, std::move(m_frames))) {
        // Nothing went in: the step is dropped from the history.
        setObsolete(true);
        return;
    }
    m_frames.clear();
    if (Replaying())
        EndRange(m_document);
    m_document.NotifyFramesChanged();
    ShowFrame(m_index);
}

void TInsertFramesCommand::Revert() {
    TAnimation& animation = m_document.Animation();
    m_frames = animation.TakeFrames(m_index, m_index + m_count - 1);
    EndRange(m_document);
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(FrameAtOrBefore(animation, m_currentBefore));
}

TRemoveFramesCommand::TRemoveFramesCommand(TDocument& document, int first, int last,
                                           const QString& text, QUndoCommand* parent)
    : TFrameStep(document, text, parent), m_first(first), m_last(last) {}

void TRemoveFramesCommand::Apply() {
    TAnimation& animation = m_document.Animation();
    m_frames = animation.TakeFrames(m_first, m_last);
    if (m_frames.empty()) {
        setObsolete(true);
        return;
    }
    if (Replaying())
        EndRange(m_document);
    m_document.NotifyFramesChanged();
    ShowFrame(FrameAtOrBefore(animation, m_first));
}

void TRemoveFramesCommand::Revert() {
    m_document.Animation().InsertFrames(m_first, std::move(m_frames));
    m_frames.clear();
    // The frames come back without the range marks they went with.
    EndRange(m_document);
    m_document.NotifyFramesChanged();
    m_document.SetCurFrame(m_first);
}

TDurationCommand::TDurationCommand(TDocument& document, int frame, std::uint8_t duration,
                                   int typing)
    : TFrameStep(document, QObject::tr("Duration")), m_frame(frame), m_typing(typing),
      m_before(document.Animation().Frame(frame).Duration()), m_after(duration) {}

void TDurationCommand::Set(std::uint8_t duration) {
    m_document.Animation().Frame(m_frame).SetDuration(duration);
    m_document.NotifyFramesChanged();
}

void TDurationCommand::Apply() {
    Set(m_after);
    ShowFrame(m_frame);
}

void TDurationCommand::Revert() {
    Set(m_before);
    m_document.SetCurFrame(m_frame);
}

int TDurationCommand::id() const {
    return 1;
}

bool TDurationCommand::mergeWith(const QUndoCommand* other) {
    const auto* typed = static_cast<const TDurationCommand*>(other);
    if (typed->m_frame != m_frame || typed->m_typing != m_typing)
        return false;
    m_after = typed->m_after;
    if (m_after == m_before)
        setObsolete(true);
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
    : TFrameStep(document, text), m_frame(frame), m_before(before), m_after(after),
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
}

void TPictureCommand::Apply() {
    Show(m_after);
    ShowFrame(m_frame);
}

void TPictureCommand::Revert() {
    Show(m_before);
    m_document.SetCurFrame(m_frame);
}

namespace {

bool HasMark(const TFrame& frame, TLayerMarkCommand::Layer layer) {
    return layer == TLayerMarkCommand::Layer::Red ? frame.RedLayer() : frame.BlueLayer();
}

// The frame holding a layer's mark, or -1.
int Holder(const TAnimation& animation, TLayerMarkCommand::Layer layer) {
    for (int i = 0; i < animation.FrameCount(); ++i)
        if (HasMark(animation.Frame(i), layer))
            return i;
    return -1;
}

} // namespace

TLayerMarkCommand::TLayerMarkCommand(TDocument& document, int frame, Layer layer, bool marked)
    : TFrameStep(document,
                 layer == Layer::Red ? QObject::tr("Red Layer") : QObject::tr("Blue Layer")),
      m_frame(frame), m_layer(layer), m_marked(marked),
      m_redBefore(Holder(document.Animation(), Layer::Red)),
      m_blueBefore(Holder(document.Animation(), Layer::Blue)) {}

void TLayerMarkCommand::Restore(int red, int blue) {
    TAnimation& animation = m_document.Animation();
    for (int i = 0; i < animation.FrameCount(); ++i) {
        TFrame& frame = animation.Frame(i);
        if (i != red)
            frame.SetRedLayer(false);
        if (i != blue)
            frame.SetBlueLayer(false);
    }
    // Setting a mark takes it off every other frame and the other colour off
    // this one; the marks to keep are off everywhere else by now.
    if (red >= 0)
        animation.Frame(red).SetRedLayer(true);
    if (blue >= 0)
        animation.Frame(blue).SetBlueLayer(true);
    m_document.NotifyFramesChanged();
}

void TLayerMarkCommand::Apply() {
    const bool red = m_layer == Layer::Red;
    int redAfter = m_redBefore;
    int blueAfter = m_blueBefore;
    int& mine = red ? redAfter : blueAfter;
    int& other = red ? blueAfter : redAfter;
    if (m_marked) {
        mine = m_frame;
        if (other == m_frame)
            other = -1;
    } else if (mine == m_frame) {
        mine = -1;
    }
    Restore(redAfter, blueAfter);
    ShowFrame(m_frame);
}

void TLayerMarkCommand::Revert() {
    Restore(m_redBefore, m_blueBefore);
    m_document.SetCurFrame(m_frame);
}

} // namespace vistrel
