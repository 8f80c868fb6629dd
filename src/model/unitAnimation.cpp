#include "unitAnimation.h"

#include "frameSheetCells.h"

#include <QPainter>
#include <algorithm>

namespace vistrel {

namespace {

int SheetRowsFor(int frameCount) {
    return frameCount <= 0 ? 1 : (frameCount - 1) / SheetColumns + 1;
}

} // namespace

TAnimation::TAnimation()
    : m_frameSheet(SheetColumns * FrameWidth, FrameHeight, QImage::Format_RGB32) {
    m_frameSheet.fill(Qt::white);
}

TAnimation::~TAnimation() = default;

QRect TAnimation::CellRect(int index) {
    return {(index % SheetColumns) * FrameWidth, (index / SheetColumns) * FrameHeight, FrameWidth,
            FrameHeight};
}

TCommand& TAnimation::AddCommand() {
    return m_commands.emplace_back();
}

void TAnimation::SetSheetHeightFor(int frameCount) {
    const int height = SheetRowsFor(frameCount) * FrameHeight;
    if (height == m_frameSheet.height())
        return;
    QImage resized(m_frameSheet.width(), height, QImage::Format_RGB32);
    resized.fill(Qt::white);
    const int keptRows = std::min(height, m_frameSheet.height());
    const auto rowBytes = static_cast<std::size_t>(m_frameSheet.bytesPerLine());
    for (int y = 0; y < keptRows; ++y)
        std::copy_n(m_frameSheet.constScanLine(y), rowBytes, resized.scanLine(y));
    m_frameSheet = std::move(resized);
}

void TAnimation::MoveCell(int from, int to) {
    CopySheetCell(m_frameSheet, CellRect(from), CellRect(to));
}

void TAnimation::FillCellWhite(int index) {
    FillSheetCell(m_frameSheet, CellRect(index), UnlitColour);
}

void TAnimation::PaintCell(int index) {
    if (IsValidIndex(index))
        PaintSheetCell(m_frameSheet, CellRect(index), Frame(index).Pixels);
}

void TAnimation::AttachFrame(TFrame& frame) {
    frame.OnDurationChange = [this](TFrame& sender) { FrameDurationChanged(sender); };
    frame.OnRedLayerChange = [this](TFrame& sender) { RedLayerChanged(sender); };
    frame.OnBlueLayerChange = [this](TFrame& sender) { BlueLayerChanged(sender); };
}

TFrame& TAnimation::CreateFrameAt(int index) {
    auto frame = std::make_unique<TFrame>();
    AttachFrame(*frame);
    frame->m_sheetRect = CellRect(index);
    if (index > 0)
        frame->SetTimes(m_frames[static_cast<std::size_t>(index - 1)]->EndTime());
    return **m_frames.insert(m_frames.begin() + index, std::move(frame));
}

TFrame TAnimation::NewFrame(std::uint8_t duration, const std::uint8_t* pixels) {
    TFrame frame;
    frame.SetDuration(duration);
    std::copy_n(pixels, FramePixelCount, frame.Pixels.begin());
    return frame;
}

bool TAnimation::AddFrame() {
    return InsertFrames(-1, std::vector<TFrame>(1));
}

void TAnimation::AppendBlankFrames(int count) {
    count = std::min(count, MaxDocumentFrames - FrameCount());
    SetSheetHeightFor(FrameCount() + count);
    for (int i = 0; i < count; ++i) {
        const int index = FrameCount();
        CreateFrameAt(index);
        FillCellWhite(index);
    }
}

bool TAnimation::InsertFrame(int index) {
    return InsertFrames(index, std::vector<TFrame>(1));
}

bool TAnimation::InsertFrames(int index, std::vector<TFrame> frames) {
    if (index == -1)
        index = FrameCount();
    if (index < 0 || index > FrameCount() ||
        frames.size() > static_cast<std::size_t>(MaxDocumentFrames - FrameCount()))
        return false;
    const int count = static_cast<int>(frames.size());
    SetSheetHeightFor(FrameCount() + count);
    // From the end toward the gap, so no cell is overwritten before it moved.
    for (int j = FrameCount() - 1; j >= index; --j) {
        MoveCell(j, j + count);
        m_frames[static_cast<std::size_t>(j)]->m_sheetRect = CellRect(j + count);
    }
    std::vector<std::unique_ptr<TFrame>> inserted;
    inserted.reserve(frames.size());
    for (TFrame& frame : frames) {
        auto& attached = inserted.emplace_back(std::make_unique<TFrame>(std::move(frame)));
        AttachFrame(*attached);
        attached->m_sheetRect = CellRect(index + static_cast<int>(inserted.size()) - 1);
    }
    m_frames.insert(m_frames.begin() + index, std::make_move_iterator(inserted.begin()),
                    std::make_move_iterator(inserted.end()));
    RetimeFrom(index);
    for (int j = index; j < index + count; ++j) {
        PaintCell(j);
        // A frame holds a layer mark only when no other frame does.
        TFrame& frame = Frame(j);
        if (frame.RedLayer())
            RedLayerChanged(frame);
        if (frame.BlueLayer())
            BlueLayerChanged(frame);
    }
    return true;
}

bool TAnimation::MoveFrames(int first, int last, int to) {
    if (first < 0 || last < first || last >= FrameCount() || to < 0 ||
        to > FrameCount() - (last - first + 1))
        return false;
    const int count = last - first + 1;
    const auto begin = m_frames.begin();
    if (to < first)
        std::rotate(begin + to, begin + first, begin + last + 1);
    else
        std::rotate(begin + first, begin + last + 1, begin + to + count);
    // Every frame between the two places now stands in another cell: the cells
    // are painted again from the frames' own pixels.
    const int from = std::min(first, to);
    const int through = std::max(last, to + count - 1);
    for (int j = from; j <= through; ++j) {
        m_frames[static_cast<std::size_t>(j)]->m_sheetRect = CellRect(j);
        PaintCell(j);
    }
    RetimeFrom(from);
    return true;
}

void TAnimation::RetimeFrom(int index) {
    for (int j = std::max(index, 0); j < FrameCount(); ++j)
        m_frames[static_cast<std::size_t>(j)]->SetTimes(
            j == 0 ? 0 : m_frames[static_cast<std::size_t>(j - 1)]->EndTime());
}

void TAnimation::DeleteFrame(int index) {
    TakeFrames(index, index);
}

std::vector<TFrame> TAnimation::TakeFrames(int first, int last) {
    if (first < 0 || last < first || last >= FrameCount())
        return {};
    const int count = last - first + 1;
    std::vector<TFrame> taken;
    taken.reserve(static_cast<std::size_t>(count));
    for (int j = first; j <= last; ++j) {
        TFrame& frame = Frame(j);
        frame.OnDurationChange = nullptr;
        frame.OnRedLayerChange = nullptr;
        frame.OnBlueLayerChange = nullptr;
        taken.push_back(std::move(frame));
    }
    m_frames.erase(m_frames.begin() + first, m_frames.begin() + last + 1);
    for (int j = first; j < FrameCount(); ++j) {
        MoveCell(j + count, j);
        m_frames[static_cast<std::size_t>(j)]->m_sheetRect = CellRect(j);
    }
    RetimeFrom(first);
    SetSheetHeightFor(FrameCount());
    return taken;
}

void TAnimation::DeleteSelectedFrames() {
    int kept = 0;
    for (int j = 0; j < FrameCount(); ++j) {
        auto& frame = m_frames[static_cast<std::size_t>(j)];
        if (frame->Selected()) {
            frame.reset();
            continue;
        }
        if (kept != j) {
            MoveCell(j, kept);
            frame->m_sheetRect = CellRect(kept);
            m_frames[static_cast<std::size_t>(kept)] = std::move(frame);
        }
        ++kept;
    }
    m_frames.resize(static_cast<std::size_t>(kept));
    RetimeFrom(0);
    SetSheetHeightFor(kept);
}

void TAnimation::ClearSelectedMarks() {
    for (auto& frame : m_frames)
        frame->SetSelected(false);
}

void TAnimation::ClearCommands() {
    m_commands.clear();
    ScriptText.clear();
}

void TAnimation::ClearFrames() {
    m_frames.clear();
}

void TAnimation::Clear() {
    ClearCommands();
    ClearFrames();
}

int TAnimation::IndexOf(const TFrame& frame) const {
    const auto found = std::find_if(m_frames.begin(), m_frames.end(),
                                    [&frame](const auto& item) { return item.get() == &frame; });
    return static_cast<int>(found - m_frames.begin());
}

void TAnimation::FrameDurationChanged(TFrame& sender) {
    RetimeFrom(IndexOf(sender) + 1);
}

void TAnimation::RedLayerChanged(TFrame& sender) {
    for (auto& frame : m_frames)
        if (frame.get() != &sender)
            frame->SetRedLayer(false);
}

void TAnimation::BlueLayerChanged(TFrame& sender) {
    for (auto& frame : m_frames)
        if (frame.get() != &sender)
            frame->SetBlueLayer(false);
}

void TAnimation::DrawFrame(int index, QImage& bitmap) const {
    if (!IsValidIndex(index) || bitmap.isNull())
        return;
    // Every view of a frame (editor, strip, player) is a whole-factor enlargement
    // and takes the block-copy path; other sizes fall back to a scaled paint.
    const QRect cell = Frame(index).SheetRect();
    if (EnlargeSheetCell(m_frameSheet, cell, bitmap))
        return;
    QPainter painter(&bitmap);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(bitmap.rect(), m_frameSheet, cell);
}

FramePixels TAnimation::PixelsOf(const QImage& bitmap) {
    // The editor hands a 48 x 32 picture; any other size is brought to the frame's
    // size first, so that Pixels and the sheet cell always show the same picture.
    const QImage picture =
        bitmap.size() == QSize(FrameWidth, FrameHeight)
            ? bitmap.convertToFormat(QImage::Format_RGB32)
            : bitmap.scaled(FrameWidth, FrameHeight).convertToFormat(QImage::Format_RGB32);
    FramePixels pixels{};
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < FrameWidth; ++x)
            pixels[static_cast<std::size_t>(PixelIndex(x, y))] =
                (row[x] & 0xFFFFFF) == LitColour ? 1 : 0;
    }
    return pixels;
}

void TAnimation::StoreFrame(int index, const QImage& bitmap) {
    if (!IsValidIndex(index) || bitmap.isNull())
        return;
    TFrame& frame = Frame(index);
    frame.Pixels = PixelsOf(bitmap);
    PaintCell(index);
    frame.m_changed = true;
}

} // namespace vistrel
