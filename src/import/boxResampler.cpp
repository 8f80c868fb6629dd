#include "boxResampler.h"

#include <algorithm>
#include <cstdint>

namespace vistrel {

namespace {

// Box index of count boxes over extent pixels: its first pixel and the one past
// its last, at least one pixel wide.
std::pair<int, int> Bounds(std::int64_t index, std::int64_t count, std::int64_t extent) {
    const auto first = static_cast<int>(index * extent / count);
    const auto end = static_cast<int>((index + 1) * extent / count);
    return {first, std::max(end, first + 1)};
}

// A 16-bit column sum holds this many rows of 255 before it must be moved on;
// at 16 bits a vector add takes twice the bytes it would at 32.
constexpr int MaxRowsPerFlush = UINT16_MAX / 255;

// sums[i] += bytes[i]: the one loop every source byte goes through. Blocks of a
// fixed length, so that the compiler turns them into vector adds at any
// optimisation level that vectorises at all.
void AddBytes(std::uint16_t* __restrict sums, const std::uint8_t* __restrict bytes,
              std::size_t count) {
    constexpr std::size_t Block = 32;
    std::size_t i = 0;
    for (; i + Block <= count; i += Block)
        for (std::size_t k = 0; k < Block; ++k)
            sums[i + k] = static_cast<std::uint16_t>(sums[i + k] + bytes[i + k]);
    for (; i < count; ++i)
        sums[i] = static_cast<std::uint16_t>(sums[i] + bytes[i]);
}

} // namespace

TBoxResampler::TBoxResampler(QSize source, QSize destination, TRowLayout layout)
    : m_source(source), m_result(destination, QImage::Format_RGB32) {
    if (layout == TRowLayout::Packed) {
        m_bytesPerPixel = 3;
        m_channel[0] = 0;
        m_channel[1] = 1;
        m_channel[2] = 2;
    } else {
        const QRgb probe = qRgb(0, 1, 2);
        m_bytesPerPixel = 4;
        for (int offset = 0; offset < 4; ++offset) {
            const auto byte = reinterpret_cast<const std::uint8_t*>(&probe)[offset];
            if (byte < 3)
                m_channel[byte] = offset;
        }
    }
    if (m_result.isNull() || source.isEmpty())
        return;
    const int width = destination.width();
    m_columns.resize(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c)
        m_columns[static_cast<std::size_t>(c)] = Bounds(c, width, source.width());
    m_columnSums.assign(
        static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(m_bytesPerPixel), 0);
    m_sums.assign(static_cast<std::size_t>(width) * 3, 0);
}

std::pair<int, int> TBoxResampler::RowBounds(int row) const {
    return Bounds(row, m_result.height(), m_source.height());
}

// Sums are taken down the columns first, a cheap add of every byte, and across
// a destination box only once for all its rows.
int TBoxResampler::AddRow(const std::uint8_t* line) {
    if (m_result.isNull() || Finished() || m_sourceRow >= m_source.height())
        return m_nextRow;
    if (m_rowsInColumnSums == MaxRowsPerFlush)
        FlushColumns();
    AddBytes(m_columnSums.data(), line, m_columnSums.size());
    ++m_rowsInColumnSums;
    const int row = m_sourceRow++;
    // Shrinking, a box closes once its last row is in. Enlarging, every box is
    // one source row, and several boxes may share this one: their sums stay.
    while (!Finished() && RowBounds(m_nextRow).second <= m_sourceRow) {
        FlushColumns();
        FinishRow();
        if (Finished() || RowBounds(m_nextRow).first > row)
            std::fill(m_sums.begin(), m_sums.end(), 0);
    }
    return m_nextRow;
}

void TBoxResampler::FlushColumns() {
    if (m_rowsInColumnSums == 0)
        return;
    const std::uint16_t* columns = m_columnSums.data();
    const auto stride = static_cast<std::size_t>(m_bytesPerPixel);
    std::uint64_t* sum = m_sums.data();
    for (const auto& [left, right] : m_columns) {
        for (int channel = 0; channel < 3; ++channel) {
            std::uint64_t total = 0;
            const std::uint16_t* column = columns + static_cast<std::size_t>(left) * stride +
                                          static_cast<std::size_t>(m_channel[channel]);
            for (int x = left; x < right; ++x, column += stride)
                total += *column;
            sum[channel] += total;
        }
        sum += 3;
    }
    std::fill(m_columnSums.begin(), m_columnSums.end(), 0);
    m_rowsInColumnSums = 0;
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
