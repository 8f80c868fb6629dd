#pragma once

#include "unitAnimationExport.h"
#include "unitFrame.h"

#include <QByteArray>
#include <QImage>
#include <optional>
#include <vector>

namespace vistrel {

class TAnimation;

// Bytes of one packed frame: 32 rows top to bottom, 6 bytes a row, 8 dots a
// byte with the leftmost dot in the most significant bit, a set bit for a lit dot.
inline constexpr int PackedRowBytes = FrameWidth / 8;
inline constexpr int PackedFrameBytes = PackedRowBytes * FrameHeight;
QByteArray PackFrame(const FramePixels& pixels);

// The frame turned by 180 degrees: dot (x, y) moves to (47 - x, 31 - y).
FramePixels TurnedUpsideDown(const FramePixels& pixels);

// Every frame's duration in ticks as stored (0 stays 0), in decimal, one a
// line, each line ended by a newline.
QByteArray DurationTable(const TAnimation& animation);

// A frame as a one-bit picture (index 0 unlit, index 1 lit), each dot a
// scale x scale block.
QImage RenderFrame(const FramePixels& pixels, int scale, const TExportColours& colours);

// Copies a rendered frame into a one-bit picture of the same colours at a
// position; frames are always a whole number of bytes wide, so this is a copy
// of rows.
void PlaceFrame(QImage& target, const QImage& frame, QPoint position);

// Each frame's GIF delay in hundredths of a second. The player shows a frame
// for its duration in ticks (at least one) of 1000 div fps milliseconds; every
// delay is the rounded end of its frame minus the rounded end of the one
// before, so the rounding never adds up and the whole GIF stays within half a
// hundredth of the animation's length in the player.
std::vector<int> GifDelays(const TAnimation& animation, int fps);

// The loop count of the GIF's looping extension for a repeat count, none when
// the GIF must play once and carry no such extension. GIF readers take the
// loop count as the number of times to play again after the first showing,
// and 0 as forever: 255 (and 0, which the player never ends either) become 0,
// a repeat count of n plays n times in all, so it becomes n - 1, and 1 needs
// no extension at all.
std::optional<int> GifLoopCount(int repeatCount);

// A C identifier made from a file's base name: other characters become '_',
// and a name that does not start with a letter or '_' gets "anim_" before it.
QString CIdentifier(const QString& baseName);

} // namespace vistrel
