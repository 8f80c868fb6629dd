#pragma once

// What must hold for any document the fuzz targets end up with, whatever bytes
// built it. A broken rule is a finding: it is printed and the process aborts, so
// libFuzzer keeps the input and the replay test fails.

#include "unitAnimation.h"
#include "unitLCDFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QtGlobal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vistrel::fuzz {

[[noreturn]] inline void Finding(const char* what, int index = -1) {
    if (index >= 0)
        std::fprintf(stderr, "FINDING: %s (frame %d)\n", what, index);
    else
        std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

inline void Require(bool condition, const char* what, int index = -1) {
    if (!condition)
        Finding(what, index);
}

// Qt warns on every seek past the end of a buffer, which broken files ask for all
// the time; printed for each input those warnings would drown libFuzzer's own
// output. Critical and fatal messages still show.
inline void QuietQtWarnings() {
    static const bool installed = [] {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        return true;
    }();
    (void)installed;
}

// The fuzzer's bytes, shared rather than copied, so that a read past them is
// seen by AddressSanitizer.
inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

inline bool CellShowsPixels(const TAnimation& animation, int index) {
    const QImage& sheet = animation.FrameSheet();
    const QRect cell = TAnimation::CellRect(index);
    const FramePixels& pixels = animation.Frame(index).Pixels;
    for (int y = 0; y < FrameHeight; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(sheet.constScanLine(cell.top() + y));
        for (int x = 0; x < FrameWidth; ++x) {
            const bool lit = pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1;
            if ((row[cell.left() + x] & 0xFFFFFF) != (lit ? LitColour : UnlitColour))
                return false;
        }
    }
    return true;
}

// Frame list, sheet and times agree: every frame sits in its own cell inside the
// sheet, the cell shows its Pixels, and each frame starts where the one before ended.
inline void CheckDocument(const TAnimation& animation) {
    const int count = animation.FrameCount();
    Require(count >= 0 && count <= MaxDocumentFrames, "frame count outside the document's limit");
    const QImage& sheet = animation.FrameSheet();
    Require(sheet.format() == QImage::Format_RGB32, "frame sheet lost its format");
    const int rows = count == 0 ? 1 : (count - 1) / SheetColumns + 1;
    Require(sheet.width() == SheetColumns * FrameWidth && sheet.height() >= rows * FrameHeight,
            "frame sheet smaller than its cells");
    int time = 0;
    for (int i = 0; i < count; ++i) {
        const TFrame& frame = animation.Frame(i);
        Require(frame.SheetRect() == TAnimation::CellRect(i), "frame not in its own cell", i);
        Require(frame.StartTime() == time, "frame does not start where the previous ended", i);
        Require(frame.EndTime() == time + frame.Duration(), "end time is not start + duration", i);
        time = frame.EndTime();
        Require(CellShowsPixels(animation, i), "sheet cell disagrees with Pixels", i);
    }
}

// Every draw_frame command draws a frame the document holds, or frame 0 (nothing).
inline void CheckDrawCommands(const TAnimation& animation) {
    for (const TCommand& command : animation.Commands()) {
        if (command.Opcode() != 0)
            continue;
        const auto frameNumber = static_cast<int>(command.Value >> 8 & 0xFFFF);
        Require(frameNumber <= animation.FrameCount(), "draw_frame of a frame not held");
    }
}

// A document that fits an LCD file saves as one of the exact size and loads back
// with the same repeat count, durations and lit pixels.
inline void CheckLCDRoundTrip(TAnimation& animation) {
    const int count = animation.FrameCount();
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    const bool written = animation.SaveLCD(saved);
    if (count == 0 || count > LCDLayout::MaxLCDFrames) {
        Require(!written, "SaveLCD wrote a frame count the format cannot hold");
        return;
    }
    Require(written, "SaveLCD failed on a buffer");
    Require(saved.data().size() == LCDLayout::FileSize(count), "saved LCD has the wrong size");

    QBuffer reread;
    reread.setData(saved.data());
    reread.open(QIODevice::ReadOnly);
    TAnimation copy;
    Require(copy.LoadLCD(reread), "saved LCD does not load");
    Require(copy.FrameCount() == count, "saved LCD loads another frame count");
    Require(copy.RepeatCount == animation.RepeatCount, "saved LCD loads another repeat count");
    for (int i = 0; i < count; ++i) {
        const TFrame& before = animation.Frame(i);
        const TFrame& after = copy.Frame(i);
        Require(after.Duration() == before.Duration(), "saved LCD changes a duration", i);
        for (int p = 0; p < FramePixelCount; ++p) {
            const auto at = static_cast<std::size_t>(p);
            Require((after.Pixels[at] == 1) == (before.Pixels[at] == 1),
                    "saved LCD changes a pixel", i);
        }
    }
    CheckDocument(copy);
}

} // namespace vistrel::fuzz
