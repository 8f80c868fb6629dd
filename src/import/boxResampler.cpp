#include "boxResampler.h"

#include <algorithm>

namespace vistrel {

namespace {

// Box index of count boxes over extent pixels: its first pixel and the one past
// its last, at least one pixel wide.
std::pair<int, int> Bounds(std::int64_t index, std::int64_t count, std::int64_t extent) {
    const auto first = static_cast<int>(index * extent / count);
    const auto end = static_cast<int>((index + 1) * extent / count);
    return {first, std::max(end, first + 1)};
}

} // namespace

TBoxResampler::TBoxResampler(QSize source, QSize destination)
    : m_source(source), m_result(destination, QImage::Format_RGB32) {
    if (m_result.isNull() || source.isEmpty())
        return;
    const int width = destination.width();
    m_columns.resize(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c)
        m_columns[static_cast<std::size_t>(c)] = Bounds(c, width, source.width());
    m_lineSums.resize(static_cast<std::size_t>(width) * 3);
    m_sums.assign(static_cast<std::size_t>(width) * 3, 0);
}

std::pair<int, int> TBoxResampler::RowBounds(int row) const {
    return Bounds(row, m_result.height(), m_source.height());
}

int TBoxResampler::AddRow(const QRgb* line) {
    if (m_result.isNull() || Finished() || m_sourceRow >= m_source.height())
        return m_nextRow;
    std::uint64_t* lineSum = m_lineSums.data();
    for (const auto& [left, right] : m_columns) {
        std::uint64_t red = 0, green = 0, blue = 0;
        for (int x = left; x < right; ++x) {
            const QRgb pixel = line[x];
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
        }
        lineSum[0] = red;
        lineSum[1] = green;
        lineSum[2] = blue;
        lineSum += 3;
    }
    for (std::size_t i = 0; i < m_sums.size(); ++i)
        m_sums[i] += m_lineSums[i];
    const int row = m_sourceRow++;
    // Shrinking, a box closes once its last row is in. Enlarging, every box is
    // one source row, and several boxes may share this one.
    while (!Finished() && RowBounds(m_nextRow).second <= m_sourceRow) {
        FinishRow();
        if (!Finished() && RowBounds(m_nextRow).first <= row)
            m_sums = m_lineSums;
    }
    return m_nextRow;
}

void TBoxResampler::FinishRow() {
    const auto [top, bottom] = RowBounds(m_nextRow);
    auto* out = reinterpret_cast<QRgb*>(m_result.scanLine(m_nextRow));
    const std::uint64_t* sum = m_sums.data();
    for (const auto& [left, right] : m_columns) {
        const auto count =
            static_cast<std::uint64_t>(right - left) * static_cast<std::uint64_t>(bottom - top);
        *out++ = qRgb(static_cast<int>(sum[0] / count), static_cast<int>(sum[1] / count),
                      static_cast<int>(sum[2] / count));
        sum += 3;
    }
    std::fill(m_sums.begin(), m_sums.end(), 0);
    ++m_nextRow;
}

QImage ResampleBox(const QImage& source, QSize size,
                   const std::function<void(int stage, int value)>& progress) {
    const QImage input = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    if (input.isNull() || size.isEmpty())
        return QImage();
    TBoxResampler resampler(input.size(), size);
    if (resampler.Result().isNull())
        return QImage();
    if (progress)
        progress(0, size.height());
    int reported = 0;
    for (int y = 0; y < input.height(); ++y) {
        const int finished =
            resampler.AddRow(reinterpret_cast<const QRgb*>(input.constScanLine(y)));
        for (; progress && reported < finished; ++reported)
            progress(1, reported);
    }
    if (progress)
        progress(2, 0);
    return resampler.Result();
}

} // namespace vistrel
