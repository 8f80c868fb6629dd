#pragma once

#include "unitFrame.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace vistrel {

class TAnimation;

// What a recovery file keeps about its document besides the animation itself.
struct TRecoveryInfo {
    // The document's file name; empty for an untitled document.
    QString FileName;
    // The number of an untitled document ("Untitled3.lcd"); 0 for a named one.
    int UntitledNumber = 0;
    // The frame the editor showed; -1 when the document has no frames.
    int CurrentFrame = -1;
    // When the document last changed.
    QDateTime LastChange;

    // The name the window shows for the document.
    QString DisplayName() const;
};

// A recovery file holds a whole document between a crash and the next start:
// every frame (also beyond what an LCD file holds) with its duration and layer
// marks, the repeat count and TRecoveryInfo. It is our own format, versioned,
// with a checksum, so a damaged or foreign file is told apart from a document.
inline constexpr int RecoveryFormatVersion = 1;
// Longest document file name a recovery file keeps, in bytes.
inline constexpr int MaxRecoveryNameBytes = 16 * 1024;
// No recovery file is larger: a file above it is refused before it is read.
qint64 MaxRecoveryFileSize();

// The bytes of a recovery file for the document. currentPicture, when given,
// stands for the pixels of info.CurrentFrame: the editor's picture not yet
// stored into its frame is kept without touching the document.
QByteArray RecoveryFileBytes(const TAnimation& animation, const TRecoveryInfo& info,
                             const FramePixels* currentPicture = nullptr);

// Reads recovery file bytes into animation (cleared first) and info. On failure
// both are left as they were and reason receives why: not a recovery file, a
// version this program does not know, or which part is damaged.
bool ReadRecoveryBytes(const QByteArray& bytes, TAnimation& animation, TRecoveryInfo& info,
                       QString* reason = nullptr);

// Writes the document's recovery file whole or not at all: an interrupted write
// leaves the previous file as it was.
bool SaveRecoveryFile(const QString& fileName, const QByteArray& bytes, QString* reason = nullptr);
// Reads a recovery file: a regular file of at most MaxRecoveryFileSize() bytes.
bool LoadRecoveryFile(const QString& fileName, TAnimation& animation, TRecoveryInfo& info,
                      QString* reason = nullptr);

} // namespace vistrel
