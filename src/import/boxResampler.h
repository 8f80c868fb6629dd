#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace vistrel {

// Box-filter resampling fed a row at a time, top to bottom, so that a picture
// can be scaled while it is decoded and never held at full size. Destination
// column c averages the source columns c*W/N to (c+1)*W/N - 1 (at least one),
// rows alike; the bounds are exact integers, so every source row and column is
// read, and enlarging repeats pixels.
class TBoxResampler {
public:
    // How the source rows lay out their pixels in memory.
    enum class TRowLayout {
        Rgb32,  // QRgb words, as Format_RGB32 stores them
        Packed, // three bytes a pixel: red, green, blue
    };

    // Both sizes at least one pixel a side. Result() is null when the
    // destination cannot be allocated.
    TBoxResampler(QSize source, QSize destination, TRowLayout layout = TRowLayout::Rgb32);

    // The next source row, source-width pixels in the layout given at
    // construction. Returns how many destination rows are finished so far; rows
    // past the source's height are ignored.
    int AddRow(const std::uint8_t* row);
    int AddRow(const QRgb* row) { return AddRow(reinterpret_cast<const std::uint8_t*>(row)); }

    int RowsFinished() const { return m_nextRow; }
    bool Finished() const { return m_nextRow == m_result.height(); }
    // The destination, complete once every source row has been added.
    const QImage& Result() const { return m_result; }

private:
    std::pair<int, int> RowBounds(int row) const;
    void FlushColumns();
    void FinishRow();

    QSize m_source;
    QImage m_result;
    int m_bytesPerPixel;
    int m_channel[3]; // the byte offsets of red, green and blue within a pixel
    std::vector<std::pair<int, int>> m_columns;
    // Each source byte summed down the rows added since the last flush, which
    // comes before the sums could overflow.
    std::vector<std::uint16_t> m_columnSums;
    int m_rowsInColumnSums = 0;
    std::vector<std::uint64_t> m_sums; // red, green, blue per destination column
    int m_sourceRow = 0;
    int m_nextRow = 0;
};

// The whole picture at once (any format; it is read as Format_RGB32). progress:
// stage 0 begins (value: the highest destination row), stage 1 finished row
// value, stage 2 ends. Null when the destination cannot be allocated.
QImage ResampleBox(const QImage& source, QSize size,
                   const std::function<void(int stage, int value)>& progress = {});

} // namespace vistrel
