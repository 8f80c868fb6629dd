#pragma once

#include "unitAnimation.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <functional>
#include <initializer_list>
#include <tuple>
#include <vector>

namespace vistrel::testing {

// Adds frames of these durations; frame i (counted in the whole animation) has
// only its i-th pixel lit, so frames can be told apart after moves.
void FillAnimation(TAnimation& animation, std::initializer_list<int> durations);
void FillAnimation(TAnimation& animation, int frameCount);

std::vector<int> Durations(const TAnimation& animation);
std::vector<std::pair<int, int>> Times(const TAnimation& animation);
// The index of the first lit pixel: the number FillAnimation marked a frame with.
int Marker(const TFrame& frame);

// True when the frame's sheet cell shows exactly its Pixels.
bool CellMatchesPixels(const TAnimation& animation, int index);

// Bytes of an LCD file: given durations, frame i with pixel (i, 0) lit.
QByteArray LCDBytes(std::initializer_list<int> durations, int repeat = 1,
                    const QByteArray& creator = "Vistrel v1.0 (c) 2026 Vistrel developers");

// Writes bytes to a file in a fresh temporary folder and returns its path. When no
// folder can be made the test fails, and no file is written anywhere.
class TempFolder {
public:
    TempFolder();
    // A path inside the folder; empty when there is no folder.
    QString Path(const QString& name) const;
    QString Write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir; // removes the folder only when it was made
};

QByteArray ReadFile(const QString& path);

// Everything a frame shows or carries, and the sheet that draws them, to compare
// an animation before and after a change. A frame: duration, start and end time,
// pixels, red and blue layer marks, range mark, changed, sheet cell.
struct AnimationState {
    using FrameState = std::tuple<int, int, int, FramePixels, bool, bool, bool, bool, QRect>;
    std::vector<FrameState> frames;
    QImage sheet;

    bool operator==(const AnimationState&) const = default;
};

AnimationState AnimationStateOf(const TAnimation& animation);

// While it lives, files of this process cannot grow beyond a size: a write past
// it fails part-way, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*m_oldHandler)(int);
    long long m_oldSoft;
};

// Makes a FIFO at path (false when it cannot be made).
bool MakeFifo(const QString& path);
// Runs action, which may open the FIFO at fifoPath, and tells whether it finished
// on its own. A reader that waits on the FIFO for more than a few seconds is set
// free by opening it for writing and closing it again (it then reads an empty
// file), so a test of a hang fails instead of hanging.
bool FinishesWithoutWaitingOnFifo(const QString& fifoPath, const std::function<void()>& action);

} // namespace vistrel::testing
