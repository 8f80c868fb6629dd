#include "playerTicks.h"

#include "unitAnimation.h"

#include <algorithm>

namespace vistrel {

void TPlayerTicks::Start(int first, int last, int repeats) {
    m_firstFrame = first;
    m_lastFrame = last;
    m_currentFrame = first;
    m_tick = 0;
    m_repeats = repeats;
    m_passesDone = 0;
    m_finished = false;
}

bool TPlayerTicks::Bound(int& first, int& last) {
    const int count = m_animation.FrameCount();
    if (count == 0)
        return false;
    last = std::clamp(m_lastFrame, 0, count - 1);
    first = std::clamp(m_firstFrame, 0, last);
    m_currentFrame = std::clamp(m_currentFrame, first, last);
    // A shortened duration leaves the frame at its new last tick.
    m_tick = std::clamp(m_tick, 0, LastTickOf(m_currentFrame));
    return true;
}

int TPlayerTicks::Duration(int frame) const {
    return m_animation.Frame(frame).Duration();
}

int TPlayerTicks::LastTickOf(int frame) const {
    return std::max(Duration(frame), 1) - 1;
}

bool TPlayerTicks::Advance() {
    int first = 0;
    int last = 0;
    if (m_finished || !Bound(first, last)) {
        m_finished = true;
        return true;
    }
    ++m_tick;
    if (Duration(m_currentFrame) <= m_tick) {
        m_tick = 0;
        if (m_currentFrame < last) {
            ++m_currentFrame;
        } else {
            ++m_passesDone;
            // Repeats of 0 never match: the first comparison already sees one pass.
            if (m_passesDone == m_repeats && m_repeats < EndlessRepeats) {
                m_finished = true;
                return true;
            }
            m_currentFrame = first;
        }
    }
    return false;
}

void TPlayerTicks::ShowFirst() {
    int first = 0;
    int last = 0;
    if (!Bound(first, last))
        return;
    m_currentFrame = first;
    m_tick = 0;
}

void TPlayerTicks::ShowLast() {
    int first = 0;
    int last = 0;
    if (!Bound(first, last))
        return;
    m_currentFrame = last;
    m_tick = LastTickOf(last);
}

void TPlayerTicks::StepBack() {
    int first = 0;
    int last = 0;
    if (!Bound(first, last))
        return;
    if (m_tick > 0) {
        --m_tick;
    } else if (m_currentFrame > first) {
        --m_currentFrame;
        m_tick = LastTickOf(m_currentFrame);
    }
}

void TPlayerTicks::StepForward() {
    int first = 0;
    int last = 0;
    if (!Bound(first, last))
        return;
    if (m_tick < LastTickOf(m_currentFrame)) {
        ++m_tick;
    } else if (m_currentFrame < last) {
        ++m_currentFrame;
        m_tick = 0;
    }
}

int TPlayerTicks::ShownFrame() {
    int first = 0;
    int last = 0;
    return Bound(first, last) ? m_currentFrame : -1;
}

} // namespace vistrel
