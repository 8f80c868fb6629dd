// Any bytes as a frame clipboard block, pasted at the end, the start, the middle
// and after the last frame of a short document: a paste happens whole or not at
// all; the frames already there keep their pictures and order, each entry
// becomes one frame with exactly its bytes, and every cell shows its frame's
// Pixels afterwards.

#include "fuzzChecks.h"

#include <vector>

using namespace vistrel;
using namespace vistrel::fuzz;

namespace {

constexpr int DocumentFrames = 3;
constexpr qsizetype EntrySize = 1 + FramePixelCount;

struct FrameState {
    std::uint8_t duration;
    FramePixels pixels;
};

// Frames told apart by duration and by one lit pixel each.
void FillDocument(TAnimation& animation) {
    for (int i = 0; i < DocumentFrames; ++i) {
        animation.AddFrame();
        TFrame& frame = animation.Frame(i);
        frame.SetDuration(static_cast<std::uint8_t>(10 + i));
        frame.Pixels[static_cast<std::size_t>(PixelIndex(i, i))] = 1;
        animation.PaintCell(i);
    }
}

bool Same(const TFrame& frame, const FrameState& state) {
    return frame.Duration() == state.duration && frame.Pixels == state.pixels;
}

// The frame an entry must become: its duration byte and pixel bytes.
FrameState EntryFrame(const QByteArray& payload, qsizetype offset) {
    FrameState state{static_cast<std::uint8_t>(payload[offset]), {}};
    for (qsizetype p = 0; p < FramePixelCount; ++p)
        state.pixels[static_cast<std::size_t>(p)] =
            static_cast<std::uint8_t>(payload[offset + 1 + p]);
    return state;
}

void PasteAt(int index, const QByteArray& payload) {
    TAnimation animation;
    FillDocument(animation);
    std::vector<FrameState> before;
    for (int i = 0; i < DocumentFrames; ++i)
        before.push_back({animation.Frame(i).Duration(), animation.Frame(i).Pixels});
    const auto unchanged = [&] {
        if (animation.FrameCount() != DocumentFrames)
            return false;
        for (int i = 0; i < DocumentFrames; ++i)
            if (!Same(animation.Frame(i), before[static_cast<std::size_t>(i)]))
                return false;
        return true;
    };

    bool pasted = false;
    bool refusedAsBroken = false;
    try {
        pasted = animation.InsertFramePayload(index, payload);
    } catch (const EBinClipboardError&) {
        refusedAsBroken = true;
    }
    CheckDocument(animation);

    const qsizetype entries = payload.size() / EntrySize;
    const int room = MaxDocumentFrames - DocumentFrames;
    if (index < -1) {
        Require(!pasted && unchanged(), "a paste at an index below -1 changed the document");
        return;
    }
    Require(refusedAsBroken == (payload.size() % EntrySize != 0),
            "a cut-short entry must be refused as broken, and only that");
    if (refusedAsBroken || entries > room) {
        Require(!pasted && unchanged(), "a refused paste changed the document");
        return;
    }
    Require(pasted, "a paste that fits was refused");
    const int inserted = static_cast<int>(entries);
    Require(animation.FrameCount() == DocumentFrames + inserted, "not one new frame per entry");

    const int first = index == -1 ? DocumentFrames : index;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        const TFrame& frame = animation.Frame(i);
        if (i < first)
            Require(Same(frame, before[static_cast<std::size_t>(i)]), "a frame before moved", i);
        else if (i < first + inserted)
            Require(Same(frame, EntryFrame(payload, (i - first) * EntrySize)),
                    "a pasted frame differs from its entry", i);
        else
            Require(Same(frame, before[static_cast<std::size_t>(i - inserted)]),
                    "a frame after lost its picture or place", i);
    }
}

std::uint32_t LengthField(const std::uint8_t* block) {
    return block[0] | block[1] << 8 | block[2] << 16 | static_cast<std::uint32_t>(block[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray payload;
    try {
        payload = DecodeClipboardBlock(Bytes(data, size));
    } catch (const EBinClipboardError&) {
        // Only a block shorter than its length field, or one whose length claims
        // more than it holds, may be refused.
        Require(size < 4 || LengthField(data) > size - 4, "a well-formed block was refused");
        return 0;
    }
    Require(size >= 4 && LengthField(data) <= size - 4, "a malformed block was accepted");
    Require(payload == Bytes(data + 4, LengthField(data)),
            "the payload is not the bytes the length field gives");
    for (const int index : {-2, -1, 0, 1, DocumentFrames})
        PasteAt(index, payload);
    return 0;
}
