#include "animationBrowser.h"

#include "animationSourceFactory.h"

#include <algorithm>
#include <climits>

namespace vistrel {

namespace {

QString Seconds(qint64 ms, int decimals) {
    return QStringLiteral("%1 s").arg(static_cast<double>(ms) / 1000.0, 0, 'f', decimals);
}

} // namespace

TAnimationBrowser::TAnimationBrowser(std::unique_ptr<IAnimationSource> source, int fps)
    : m_source(std::move(source)), m_timing(fps) {
    m_byTime = m_source->Sampled() || m_source->FrameCount() < 0;
    if (m_byTime) {
        // One position a tick, the last tick being the one the clip's last
        // moment lies in.
        const qint64 length = m_source->LengthMs();
        const qint64 ticks = length > 0 ? m_timing.TickAt(length) : 1;
        m_positions = static_cast<int>(std::clamp<qint64>(ticks, 1, INT_MAX));
    } else {
        m_positions = std::max(m_source->FrameCount(), 1);
    }
    m_end = m_positions - 1;
}

std::unique_ptr<TAnimationBrowser> TAnimationBrowser::Open(const QString& fileName, bool sequence,
                                                           int fps, QString* reason) {
    std::unique_ptr<IAnimationSource> source = OpenAnimationSource(fileName, sequence, reason);
    if (!source)
        return nullptr;
    return std::make_unique<TAnimationBrowser>(std::move(source), fps);
}

QString TAnimationBrowser::Summary() const {
    const qint64 length = m_source->LengthMs();
    const QString time = length >= 0 ? Seconds(length, 1) : QStringLiteral("length unknown");
    const int frames = m_source->FrameCount();
    if (frames < 0)
        return time;
    return frames == 1 ? QStringLiteral("1 frame, %1").arg(time)
                       : QStringLiteral("%1 frames, %2").arg(frames).arg(time);
}

qint64 TAnimationBrowser::PositionMs(int position) const {
    position = Clamp(position);
    if (m_byTime)
        // The first moment that shows the tick, so that a range starting there
        // starts at the tick.
        return m_origin + (qint64{position} * 1000 + m_timing.Fps() - 1) / m_timing.Fps();
    return position < static_cast<int>(m_starts.size()) ? m_starts[position] : -1;
}

QString TAnimationBrowser::PositionText(int position) const {
    position = Clamp(position);
    const qint64 ms = PositionMs(position);
    if (m_byTime)
        return Seconds(ms, 2);
    const QString frame = QStringLiteral("frame %1").arg(position + 1);
    return ms < 0 ? frame : QStringLiteral("%1, %2").arg(frame, Seconds(ms, 2));
}

int TAnimationBrowser::Clamp(int position) const {
    return std::clamp(position, 0, m_positions - 1);
}

void TAnimationBrowser::Restart() {
    m_recent.clear();
    m_recentBytes = 0;
    m_read = 0;
    m_ended = !m_source->Rewind();
    m_endError = m_ended ? m_source->Error() : QString();
}

bool TAnimationBrowser::ReadNext() {
    if (m_ended)
        return false;
    TSourceFrame frame;
    if (!m_source->Next(frame) || frame.Picture.isNull()) {
        m_ended = true;
        m_endError = m_source->Error();
        return false;
    }
    if (m_read == 0)
        m_origin = frame.StartMs;
    if (m_read == static_cast<int>(m_starts.size()))
        m_starts.push_back(frame.StartMs);
    ++m_read;
    m_recentBytes += frame.Picture.sizeInBytes();
    m_recent.push_back(std::move(frame));
    // A clip needs the frame on show and the one read after it.
    while (m_recent.size() > 2 && (m_recentBytes > RecentBytes || m_recent.size() > RecentFrames)) {
        m_recentBytes -= m_recent.front().Picture.sizeInBytes();
        m_recent.pop_front();
    }
    return true;
}

QImage TAnimationBrowser::PictureAt(int position) {
    position = Clamp(position);
    const TSourceFrame* found = nullptr;
    if (m_byTime) {
        // A clip shows at a tick the last frame that started by then.
        const auto onShow = [&](const TSourceFrame& frame) {
            return m_timing.ShownAt(frame.StartMs - m_origin, position);
        };
        // Further back than the frames kept: the source reads only forwards.
        if (!m_recent.empty() && FirstRecent() > 0 && !onShow(m_recent.front()))
            Restart();
        while ((m_recent.empty() || onShow(m_recent.back())) && ReadNext()) {
        }
        for (auto frame = m_recent.rbegin(); frame != m_recent.rend() && !found; ++frame)
            if (onShow(*frame))
                found = &*frame;
    } else {
        if (position < FirstRecent())
            Restart();
        while (m_read <= position && ReadNext()) {
        }
        if (position >= FirstRecent() && position < m_read)
            found = &m_recent[static_cast<std::size_t>(position - FirstRecent())];
    }
    // A source that failed before the position gives nothing for it.
    m_error = found ? QString()
                    : (m_endError.isEmpty() ? QStringLiteral("The source holds no picture there.")
                                            : m_endError);
    return found ? found->Picture : QImage();
}

void TAnimationBrowser::SetStart(int position) {
    m_start = Clamp(position);
    m_end = std::max(m_end, m_start);
}

void TAnimationBrowser::SetEnd(int position) {
    m_end = Clamp(position);
    m_start = std::min(m_start, m_end);
}

QString TAnimationBrowser::RangeText() const {
    QString end = PositionText(m_end);
    if (m_byTime) {
        qint64 endMs = m_origin + (qint64{m_end + 1} * 1000 + m_timing.Fps() - 1) / m_timing.Fps();
        if (const qint64 length = m_source->LengthMs(); length >= 0)
            endMs = std::min(endMs, m_origin + length);
        end = Seconds(endMs, 2);
    }
    return QStringLiteral("Take %1 to %2").arg(PositionText(m_start), end);
}

TRangeEnd TAnimationBrowser::RangeStart() const {
    if (m_start == 0)
        return {};
    return m_byTime ? TRangeEnd::AtMs(PositionMs(m_start)) : TRangeEnd::AtFrame(m_start);
}

TRangeEnd TAnimationBrowser::RangeEnd() const {
    if (m_end == m_positions - 1)
        return {};
    // A clip's end time is not taken: the range ends where the tick after it starts.
    return m_byTime ? TRangeEnd::AtMs(PositionMs(m_end + 1)) : TRangeEnd::AtFrame(m_end);
}

} // namespace vistrel
