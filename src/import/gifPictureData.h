#pragma once

#include <QtGlobal>

class QIODevice;

namespace vistrel {

// What a GIF picture's data hold, counted out to its last pixel.
enum class TGifPictureData {
    Complete, // every pixel is there
    FileEnds, // the file ends first
    DataEnd,  // the data end first: an end code, or the sub-blocks' terminator
    Damaged,  // a code that cannot be there, or a code size out of range
};

// Reads a GIF picture's data from device, which stands just after the picture's
// descriptor and local colour table, and counts what its LZW codes stand for
// up to pixels. Qt's reader shows whatever it decoded of a picture whose data
// end early, so only this count tells a whole picture from a part of one.
// A complete picture leaves device after the sub-block holding its last code.
TGifPictureData ReadGifPictureData(QIODevice& device, qint64 pixels);

// Skips sub-blocks (an extension's, or the rest of a picture's data) up to and
// including the empty one that ends them; false when the file ends first.
bool SkipGifSubBlocks(QIODevice& device);

} // namespace vistrel
