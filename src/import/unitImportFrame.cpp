#include "unitImportFrame.h"

#include "boxResampler.h"
#include "frameBitmapFile.h"
#include "pictureLoader.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vistrel {

namespace {

using GreyFrame = std::array<std::uint8_t, FramePixelCount>;

constexpr std::uint8_t BayerMatrix[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

void RowDone(const std::function<void(int row)>& rowDone, int row) {
    if (rowDone)
        rowDone(row);
}

} // namespace

// Marks a long loop as running; the public commands refuse to act meanwhile,
// because the owner may run pending events, and with them the user's clicks,
// from inside the loop.
class TImportFrame::TBusy {
public:
    explicit TBusy(TImportFrame& importer) : m_importer(importer) { ++m_importer.m_busy; }
    ~TBusy() { --m_importer.m_busy; }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    TImportFrame& m_importer;
};

namespace {

// Error diffusion over the frame; out(index, grey) picks each dot's value.
template <class Out>
void Diffuse(GreyFrame& grey, const std::function<void(int row)>& rowDone, Out out) {
    // The error lives in the 8-bit picture itself: each share is cut towards
    // zero and the neighbour clamped to 0..255, as the frame has always looked.
    const auto spread = [&grey](int x, int y, int share) {
        if (x < 0 || x >= FrameWidth || y >= FrameHeight)
            return;
        std::uint8_t& pixel = grey[static_cast<std::size_t>(PixelIndex(x, y))];
        pixel = static_cast<std::uint8_t>(std::clamp(pixel + share, 0, 255));
    };
    for (int y = 0; y < FrameHeight; ++y) {
        for (int x = 0; x < FrameWidth; ++x) {
            const auto index = static_cast<std::size_t>(PixelIndex(x, y));
            const int g = grey[index];
            const int dot = out(index, g);
            const int error = g - dot;
            grey[index] = static_cast<std::uint8_t>(dot);
            // Integer division truncates towards zero, exactly as e * 7/16 cut.
            spread(x + 1, y, error * 7 / 16);
            spread(x - 1, y + 1, error * 3 / 16);
            spread(x, y + 1, error * 5 / 16);
            spread(x + 1, y + 1, error * 1 / 16);
        }
        RowDone(rowDone, y);
    }
}

} // namespace

void DitherFloydSteinberg(GreyFrame& grey, int threshold,
                          const std::function<void(int row)>& rowDone) {
    Diffuse(grey, rowDone, [threshold](std::size_t, int g) { return g < threshold ? 0 : 255; });
}

void DitherFloydSteinbergKeeping(GreyFrame& grey, int threshold,
                                 const std::array<bool, FramePixelCount>& keep,
                                 const GreyFrame& previous) {
    Diffuse(grey, {}, [&](std::size_t index, int g) {
        return keep[index] ? int{previous[index]} : (g < threshold ? 0 : 255);
    });
}

void DitherBayer(GreyFrame& grey, int threshold, const std::function<void(int row)>& rowDone) {
    for (int y = 0; y < FrameHeight; ++y) {
        for (int x = 0; x < FrameWidth; ++x) {
            std::uint8_t& pixel = grey[static_cast<std::size_t>(PixelIndex(x, y))];
            // x picks the matrix row, y the column.
            const int level = pixel / 8 + BayerMatrix[x % 4][y % 4];
            pixel = level * 8 >= threshold ? 255 : 0;
        }
        RowDone(rowDone, y);
    }
}

void DitherQuantize(GreyFrame& grey, int threshold, const std::function<void(int row)>& rowDone) {
    for (int y = 0; y < FrameHeight; ++y) {
        for (int x = 0; x < FrameWidth; ++x) {
            std::uint8_t& pixel = grey[static_cast<std::size_t>(PixelIndex(x, y))];
            pixel = pixel >= threshold ? 255 : 0;
        }
        RowDone(rowDone, y);
    }
}

void Dither(GreyFrame& grey, int method, int threshold,
            const std::function<void(int row)>& rowDone) {
    switch (method) {
    case TImportFrame::Bayer:
        DitherBayer(grey, threshold, rowDone);
        break;
    case TImportFrame::Quantization:
        DitherQuantize(grey, threshold, rowDone);
        break;
    default:
        DitherFloydSteinberg(grey, threshold, rowDone);
        break;
    }
}

TImportFrame::TImportFrame() : m_output(FrameWidth, FrameHeight, QImage::Format_RGB32) {
    m_output.fill(Qt::white);
}

void TImportFrame::Progress(int stage, int value) const {
    if (OnProgress)
        OnProgress(stage, value);
}

bool TImportFrame::LoadFromFile(const QString& fileName, QString* reason) {
    if (Busy()) {
        if (reason)
            *reason = QStringLiteral("the importer is still working");
        return false;
    }
    TPictureLoad load = LoadPicture(fileName);
    if (!load.Loaded()) {
        if (reason)
            *reason = load.Reason;
        return false;
    }
    return SetPicture(load.Picture);
}

bool TImportFrame::SetPicture(const QImage& picture) {
    if (Busy() || picture.isNull())
        return false;
    m_source = picture.format() == QImage::Format_RGB32
                   ? picture
                   : picture.convertToFormat(QImage::Format_RGB32);
    m_dragging = false;
    // The scale the menu shows is the scale the new picture gets.
    Rescale();
    return true;
}

void TImportFrame::SetMethod(int method) {
    if (Busy() || method == m_method || method < FloydSteinberg || method > Quantization)
        return;
    m_method = method;
    Rebuild();
}

void TImportFrame::SetThreshold(int threshold) {
    if (Busy() || threshold == m_threshold || threshold < 0 || threshold > 255)
        return;
    m_threshold = threshold;
    Rebuild();
}

void TImportFrame::SetScale(int scale) {
    if (Busy() || scale == m_scale || (scale != ScaleToFit && (scale < 1 || scale > 100)))
        return;
    m_scale = scale;
    if (HasPicture())
        Rescale();
}

QSize TImportFrame::ScaledSize(QSize source, int scale) {
    const std::int64_t w = source.width();
    const std::int64_t h = source.height();
    if (w <= 0 || h <= 0)
        return source;
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (scale == ScaleToFit) {
        // Landscape and square pictures become 48 wide, portrait ones 32 high.
        if (w >= h) {
            width = FrameWidth;
            height = FrameWidth * h / w;
        } else {
            height = FrameHeight;
            width = FrameHeight * w / h;
        }
    } else {
        width = w * scale / 100;
        height = h * scale / 100;
    }
    return {static_cast<int>(std::max<std::int64_t>(width, 1)),
            static_cast<int>(std::max<std::int64_t>(height, 1))};
}

QImage TImportFrame::Resample(const QImage& source, QSize size,
                              const std::function<void(int stage, int value)>& progress) {
    return ResampleBox(source, size, progress);
}

void TImportFrame::Rescale() {
    const QSize size = ScaledSize(m_source.size(), m_scale);
    if (size == m_source.size()) {
        // Shared, not copied: a full-size picture is held once.
        m_scaled = m_source;
    } else {
        TBusy busy(*this);
        QImage scaled =
            Resample(m_source, size, [this](int stage, int value) { Progress(stage, value); });
        m_scaled = scaled.isNull() ? m_source : scaled;
    }
    m_oversize = m_scaled.width() > FrameWidth || m_scaled.height() > FrameHeight;
    UpdateGeometry();
}

void TImportFrame::UpdateGeometry() {
    const std::int64_t w = m_scaled.width();
    const std::int64_t h = m_scaled.height();
    int previewWidth = PreviewExtent;
    int previewHeight = PreviewExtent;
    if (w >= h)
        previewHeight = static_cast<int>(std::max<std::int64_t>(PreviewExtent * h / w, 1));
    else
        previewWidth = static_cast<int>(std::max<std::int64_t>(PreviewExtent * w / h, 1));
    m_previewFactor = static_cast<double>(previewWidth) / static_cast<double>(w);
    // The window is the frame, or the whole picture where that is smaller; it
    // thus always fits inside the preview.
    const int grabWidth = std::min<int>(FrameWidth, static_cast<int>(w));
    const int grabHeight = std::min<int>(FrameHeight, static_cast<int>(h));
    m_grabRect = QRect(0, 0, grabWidth, grabHeight);
    m_windowRect = QRect(0, 0, static_cast<int>(grabWidth * m_previewFactor),
                         static_cast<int>(grabHeight * m_previewFactor));
    m_previewRect = QRect(0, 0, previewWidth, previewHeight);
    if (OnPreviewSize)
        OnPreviewSize(previewWidth, previewHeight);
    Rebuild();
}

QRect TImportFrame::ShownWindowRect() const {
    const auto grow = [](int start, int length, int extent) {
        const int shown = std::min(std::max(length, MinShownWindow), extent);
        const int first = std::clamp(start - (shown - length) / 2, 0, extent - shown);
        return std::pair{first, shown};
    };
    const auto [left, width] = grow(m_windowRect.x(), m_windowRect.width(), m_previewRect.width());
    const auto [top, height] =
        grow(m_windowRect.y(), m_windowRect.height(), m_previewRect.height());
    return QRect(left, top, width, height);
}

void TImportFrame::BeginDrag(QPoint point) {
    if (Busy())
        return;
    m_dragPoint = point;
    m_dragging = true;
}

void TImportFrame::DragTo(QPoint point) {
    if (!m_dragging || Busy())
        return;
    const QRect before = m_windowRect;
    m_windowRect.translate(point - m_dragPoint);
    m_dragPoint = point;
    if (m_windowRect.left() < 0)
        m_windowRect.moveLeft(0);
    if (m_windowRect.top() < 0)
        m_windowRect.moveTop(0);
    if (m_windowRect.x() + m_windowRect.width() > m_previewRect.width())
        m_windowRect.moveLeft(m_previewRect.width() - m_windowRect.width());
    if (m_windowRect.y() + m_windowRect.height() > m_previewRect.height())
        m_windowRect.moveTop(m_previewRect.height() - m_windowRect.height());
    // A drag that ends where it began leaves the frame exactly as it was.
    if (m_windowRect != before)
        PlaceGrab();
}

void TImportFrame::EndDrag() {
    if (!m_dragging)
        return;
    m_dragging = false;
    // A loop running now started from the window where it is; it needs no second pass.
    if (!Busy())
        Rebuild();
}

void TImportFrame::PlaceGrab() {
    const int left = qRound(m_windowRect.x() / m_previewFactor);
    const int top = qRound(m_windowRect.y() / m_previewFactor);
    m_grabRect.moveTo(std::clamp(left, 0, m_scaled.width() - m_grabRect.width()),
                      std::clamp(top, 0, m_scaled.height() - m_grabRect.height()));
}

void TImportFrame::MoveWindowTo(QPoint position) {
    if (Busy() || !HasPicture())
        return;
    m_grabRect.moveTo(std::clamp(position.x(), 0, m_scaled.width() - m_grabRect.width()),
                      std::clamp(position.y(), 0, m_scaled.height() - m_grabRect.height()));
    m_windowRect.moveTo(std::min(static_cast<int>(m_grabRect.x() * m_previewFactor),
                                 m_previewRect.width() - m_windowRect.width()),
                        std::min(static_cast<int>(m_grabRect.y() * m_previewFactor),
                                 m_previewRect.height() - m_windowRect.height()));
    Rebuild();
}

void TImportFrame::Rebuild() {
    if (!HasPicture())
        return;
    TBusy busy(*this);
    Progress(0, FrameHeight - 1);
    GreyFrame grey = WindowGrey();
    Dither(grey, m_method, m_threshold, [this](int row) { Progress(1, row); });
    for (int y = 0; y < FrameHeight; ++y) {
        auto* out = reinterpret_cast<QRgb*>(m_output.scanLine(y));
        for (int x = 0; x < FrameWidth; ++x)
            out[x] = grey[static_cast<std::size_t>(PixelIndex(x, y))] == 0 ? qRgb(0, 0, 0)
                                                                           : qRgb(255, 255, 255);
    }
    Progress(2, 0);
}

FramePixels TImportFrame::OutputPixels() const {
    return FramePixelsOf(m_output);
}

std::array<std::uint8_t, FramePixelCount> TImportFrame::WindowGrey() const {
    GreyFrame grey;
    grey.fill(255);
    if (!HasPicture())
        return grey;
    for (int y = 0; y < m_grabRect.height(); ++y) {
        const auto* line =
            reinterpret_cast<const QRgb*>(m_scaled.constScanLine(m_grabRect.y() + y)) +
            m_grabRect.x();
        for (int x = 0; x < m_grabRect.width(); ++x)
            grey[static_cast<std::size_t>(PixelIndex(x, y))] =
                static_cast<std::uint8_t>((qRed(line[x]) + qGreen(line[x]) + qBlue(line[x])) / 3);
    }
    return grey;
}

} // namespace vistrel
