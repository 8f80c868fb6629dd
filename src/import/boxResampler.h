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
    // Both sizes at least one pixel a side. Result() is null when the
    // destination cannot be allocated.
    TBoxResampler(QSize source, QSize destination);

    // The next source row, source-width Format_RGB32 pixels. Returns how many
    // destination rows are finished so far; rows past the source's height are
    // ignored.
    int AddRow(const QRgb* row);

    int RowsFinished() const { return m_nextRow; }
    bool Finished() const { return m_nextRow == m_result.height(); }
    // The destination, complete once every source row has been added.
    const QImage& Result() const { return m_result; }

private:
    std::pair<int, int> RowBounds(int row) const;
    void FinishRow();

    QSize m_source;
    QImage m_result;
    std::vector<std::pair<int, int>> m_columns;
    std::vector<std::uint64_t> m_lineSums; // red, green, blue per destination column
    std::vector<std::uint64_t> m_sums;     // the same over the rows of the open box
    int m_sourceRow = 0;
    int m_nextRow = 0;
};

// The whole picture at once (any format; it is read as Format_RGB32). progress:
// stage 0 begins (value: the highest destination row), stage 1 finished row
// value, stage 2 ends. Null when the destination cannot be allocated.
QImage ResampleBox(const QImage& source, QSize size,
                   const std::function<void(int stage, int value)>& progress = {});

} // namespace vistrel
