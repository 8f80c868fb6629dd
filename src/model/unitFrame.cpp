#include "unitFrame.h"

namespace vistrel {

void TFrame::SetDuration(std::uint8_t value) {
    if (value == m_duration)
        return;
    // A frame that had no time yet (a fresh VMS frame) is not "changed" by getting one.
    if (m_duration > 0)
        m_changed = true;
    m_duration = value;
    m_endTime = m_startTime + value;
    if (OnDurationChange)
        OnDurationChange(*this);
}

void TFrame::SetRedLayer(bool value) {
    if (value == m_redLayer)
        return;
    if (value && m_blueLayer)
        m_blueLayer = false;
    m_redLayer = value;
    if (value && OnRedLayerChange)
        OnRedLayerChange(*this);
}

void TFrame::SetBlueLayer(bool value) {
    if (value == m_blueLayer)
        return;
    if (value && m_redLayer)
        m_redLayer = false;
    m_blueLayer = value;
    if (value && OnBlueLayerChange)
        OnBlueLayerChange(*this);
}

} // namespace vistrel
