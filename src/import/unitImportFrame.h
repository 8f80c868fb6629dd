#pragma once

#include "unitFrame.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace vistrel {

// Turns a picture into one 48 x 32 frame: it keeps the picture at full size, a
// copy at the chosen scale and the finished frame, lets the user move the frame
// window over the scaled copy, and makes every pixel black or white by error
// diffusion, ordered dithering or a plain threshold. Every change rebuilds the
// frame at once. No widgets: the Import page presents it, vistrel-cli drives it.
class TImportFrame {
public:
    enum DitherMethod : std::uint8_t { FloydSteinberg = 0, Bayer = 1, Quantization = 2 };
    static constexpr int ScaleToFit = -1;
    static constexpr int PreviewExtent = 256;

    // Progress of the long loops: stage 0 begins (value: the highest step to
    // come), stage 1 finished step value, stage 2 ends. The owner may let the UI
    // run pending events from it; commands reaching the importer meanwhile are
    // ignored until the loop has ended.
    std::function<void(int stage, int value)> OnProgress;
    // The preview of Scaled is to be shown width x height; one of them is 256.
    std::function<void(int width, int height)> OnPreviewSize;

    TImportFrame();

    // Loads a picture and applies the scale in force. A picture that cannot be
    // loaded leaves everything as it was; reason then says why.
    bool LoadFromFile(const QString& fileName, QString* reason = nullptr);
    // The same for a picture already in memory (any format; transparency shows
    // as is, so callers lay it on white first). False while busy or when null.
    bool SetPicture(const QImage& picture);

    // Equal values do nothing; a new scale puts the window back at the top-left,
    // a new method or threshold keeps it where it was dragged.
    void SetMethod(int method);
    void SetThreshold(int threshold);
    void SetScale(int scale); // 1..100 percent, or ScaleToFit

    // Moving the frame window, in preview coordinates.
    void BeginDrag(QPoint point);
    void DragTo(QPoint point);
    void EndDrag();
    // Places the window at pixel position of Scaled, held inside it as a drag
    // would hold it, and rebuilds the frame.
    void MoveWindowTo(QPoint position);

    int Method() const { return m_method; }
    int Threshold() const { return m_threshold; }
    int Scale() const { return m_scale; }
    const QImage& SourceImage() const { return m_source; }
    const QImage& Scaled() const { return m_scaled; }
    const QImage& Output() const { return m_output; }
    FramePixels OutputPixels() const;
    // The grey the frame is dithered from: the window on Scaled, row by row, 0
    // black to 255 white, white outside a picture smaller than the frame.
    std::array<std::uint8_t, FramePixelCount> WindowGrey() const;
    bool Oversize() const { return m_oversize; }
    // Rectangles hold their exclusive right and bottom as x() + width().
    QRect PreviewRect() const { return m_previewRect; }
    QRect WindowRect() const { return m_windowRect; }
    // The window as the preview shows it: WindowRect grown about its middle to
    // at least MinShownWindow a side (as far as the preview allows), so that a
    // frame on a large picture stays visible. The frame's position still
    // follows WindowRect alone.
    static constexpr int MinShownWindow = 8;
    QRect ShownWindowRect() const;
    QRect GrabRect() const { return m_grabRect; }
    double PreviewFactor() const { return m_previewFactor; }
    bool Dragging() const { return m_dragging; }
    bool Busy() const { return m_busy > 0; }
    bool HasPicture() const { return !m_source.isNull(); }

    // The size a picture of size source has at scale (percent or ScaleToFit):
    // truncated, but never below one pixel a side.
    static QSize ScaledSize(QSize source, int scale);
    // Box-filter resampling into a new picture: destination column c averages
    // the source columns c*W/N to (c+1)*W/N - 1 (at least one), rows alike.
    static QImage Resample(const QImage& source, QSize size,
                           const std::function<void(int stage, int value)>& progress = {});

private:
    class TBusy;

    void Rescale();
    void UpdateGeometry();
    void Rebuild();
    void PlaceGrab();
    void Progress(int stage, int value) const;

    int m_method = FloydSteinberg;
    int m_threshold = 128;
    int m_scale = 100;
    QImage m_source;
    QImage m_scaled;
    QImage m_output;
    bool m_oversize = false;
    QRect m_previewRect{0, 0, PreviewExtent, PreviewExtent};
    QRect m_windowRect{0, 0, 0, 0};
    QRect m_grabRect{0, 0, FrameWidth, FrameHeight};
    double m_previewFactor = 1.0;
    bool m_dragging = false;
    QPoint m_dragPoint;
    int m_busy = 0;
};

// The three methods on a 48 x 32 grey picture (row by row, 0 black to 255
// white), in place: every pixel ends 0 or 255. rowDone runs after each row.
void DitherFloydSteinberg(std::array<std::uint8_t, FramePixelCount>& grey, int threshold,
                          const std::function<void(int row)>& rowDone = {});
void DitherBayer(std::array<std::uint8_t, FramePixelCount>& grey, int threshold,
                 const std::function<void(int row)>& rowDone = {});
void DitherQuantize(std::array<std::uint8_t, FramePixelCount>& grey, int threshold,
                    const std::function<void(int row)>& rowDone = {});
// The method given by its TImportFrame::DitherMethod number.
void Dither(std::array<std::uint8_t, FramePixelCount>& grey, int method, int threshold,
            const std::function<void(int row)>& rowDone = {});
// Floyd-Steinberg where every dot marked in keep takes its value from previous
// instead of the threshold's verdict; its error is passed on all the same.
void DitherFloydSteinbergKeeping(std::array<std::uint8_t, FramePixelCount>& grey, int threshold,
                                 const std::array<bool, FramePixelCount>& keep,
                                 const std::array<std::uint8_t, FramePixelCount>& previous);

} // namespace vistrel
