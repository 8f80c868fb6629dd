#include "moveFramesCommand.h"

#include "document.h"

#include <QObject>

namespace vistrel {

TMoveFramesCommand::TMoveFramesCommand(TDocument& document, int first, int last, int to, bool range,
                                       int shown)
    : TFrameStep(document, QObject::tr("Move Frames")), m_first(first), m_last(last), m_to(to),
      m_range(range), m_shown(shown) {}

bool TMoveFramesCommand::Move(int from, int to) {
    TAnimation& animation = m_document.Animation();
    const int count = m_last - m_first + 1;
    if (!animation.MoveFrames(from, from + count - 1, to))
        return false;
    // The marks moved with their frames; the range's ends follow them here, and
    // a frame moved on its own leaves no range whose ends name other frames.
    animation.ClearSelectedMarks();
    if (m_range) {
        for (int index = to; index < to + count; ++index)
            animation.Frame(index).SetSelected(true);
        m_document.SetSelRange(to, to + count - 1);
    }
    m_document.SetMultipleSel(m_range);
    // The current frame changes before the followers refresh, so the strip
    // shows it where it now is. The picture the editor had is stored already:
    // the editor loads the frame found at the new index.
    m_document.SetCurFrame(to + m_shown);
    m_document.NotifyFramesChanged();
    return true;
}

void TMoveFramesCommand::Apply() {
    if (m_to == m_first || !Move(m_first, m_to))
        setObsolete(true);
}

void TMoveFramesCommand::Revert() {
    Move(m_to, m_first);
}

} // namespace vistrel
