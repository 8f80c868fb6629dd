#pragma once

#include "unitFrame.h"

#include <QImage>
#include <vector>

namespace vistrel {

class TAnimation;

// The pictures the frame editor works with. The current frame is edited in
// WorkBitmap and written back into the animation only when another frame
// becomes current, before saving and when the Frame page is left.
class TEditorBitmaps {
public:
    static constexpr int CellSize = 8;
    static constexpr int EditorWidth = FrameWidth * CellSize + 1;   // 385
    static constexpr int EditorHeight = FrameHeight * CellSize + 1; // 257

    TEditorBitmaps();

    // Created in this order; all 32-bit, black a lit dot and white an unlit one.
    QImage GridBitmap;     // silver cell outlines on white, white transparent
    QImage DisplayBitmap;  // the composed editor picture
    QImage WorkBitmap;     // the live copy of the current frame
    QImage BackupBitmap;   // the picture when the current mouse operation began
    QImage RedLayerBitmap; // red where the red layer frame is lit, else black
    QImage BlueLayerBitmap;
    QImage SelectionBitmap; // pixels of the floating selection
    QImage LayerBitmap;     // both layers, black transparent
    // The onion skin's tints of the neighbouring frames, under the layers;
    // white where it shows nothing, and all white while it is off.
    QImage OnionSkinBitmap;

    bool DisplayGrid = false;

    // Layers, frame and grid composed into DisplayBitmap.
    void ComposeEditorPicture();

    // A layer picture from a 48 x 32 frame picture: the layer's colour where the
    // frame is lit (exact black), black elsewhere.
    void BuildRedLayer(const QImage& frame) { BuildLayer(RedLayerBitmap, frame, 0xFFFF0000); }
    void BuildBlueLayer(const QImage& frame) { BuildLayer(BlueLayerBitmap, frame, 0xFF0000FF); }

    // No current frame: no layers, no onion skin and a white frame.
    void ClearForNoFrame();

private:
    static void BuildLayer(QImage& layer, const QImage& frame, QRgb litColour);
};

QImage NewFrameBitmap(Qt::GlobalColor fill);

} // namespace vistrel
