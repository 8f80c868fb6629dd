#pragma once

#include "unitFrame.h"

#include <QRgb>
#include <QString>
#include <QStringList>
#include <functional>

namespace vistrel {

class TAnimation;

enum class TExportFormat : int {
    Gif = 0,       // an animated GIF
    PngSheet = 1,  // every frame on one PNG, in a row or a grid
    PngFrames = 2, // one numbered PNG per frame
    CHeader = 3,   // a C header with the packed frames, for firmware
    Binary = 4,    // the packed frames one after the other, nothing else, for a device
};

// Dot colours of the exported pictures.
struct TExportColours {
    QRgb Lit;
    QRgb Unlit;
    friend bool operator==(const TExportColours&, const TExportColours&) = default;
};

inline constexpr TExportColours BlackOnWhite{0xFF000000, 0xFFFFFFFF};
// The greenish tones of the memory card's LCD: dark dots on a pale green glass.
inline constexpr TExportColours LCDColours{0xFF1F2E26, 0xFFA3BFA0};

struct TExportOptions {
    static constexpr int MinScale = 1;
    static constexpr int MaxScale = 16;

    TExportFormat Format = TExportFormat::Gif;
    int Scale = 1; // each dot becomes a Scale x Scale block
    TExportColours Colours = BlackOnWhite;
    int Columns = 0;    // sheet: frames per row; 0 puts every frame in one row
    int PlayerFPS = 12; // ticks per second: the GIF plays at the player's speed
    QString SourceName; // named in the C header's comment; may be empty
    // Every frame turned by 180 degrees, for the screen of a memory card seated
    // in a controller, which the player reads upside down.
    bool Rotate180 = false;
    // When not empty, the durations in ticks are also written to this file,
    // one a line, after the frames were written.
    QString DurationsFile;
};

// Writes a whole animation in one of the export formats. Every file goes
// through a temporary file that replaces the old one only when complete, so a
// failure never leaves a half-written file; the error then says which file and
// why.
class TAnimationExport {
public:
    // Called after each frame is prepared, with the frames done and the total.
    using Progress = std::function<void(int done, int total)>;

    TAnimationExport(const TAnimation& animation, const TExportOptions& options);

    void SetProgress(Progress progress) { m_progress = std::move(progress); }

    // target is the file to write; for numbered frames it gives the folder and
    // the base of the names: "walk.png" writes walk_000.png, walk_001.png, ...
    // beside it. Frames are written in order after all of them were encoded; a
    // failure stops the run, the frames before it staying complete and the one
    // that failed keeping its old content.
    bool Export(const QString& target);

    QString ErrorText() const { return m_error; }
    // Full paths of the files written, in order (also after a failure part-way).
    QStringList Written() const { return m_written; }

    // The file the frame of this index goes to for a PNG frames target.
    static QString FrameFileName(const QString& target, int index);
    // The extension each format writes, with its dot.
    static QString Extension(TExportFormat format);
    // The duration table offered beside target: its name with ".txt" for its extension.
    static QString DurationsFileName(const QString& target);

private:
    bool Check(const QString& target);
    bool Fail(const QString& fileName, const QString& reason);
    bool WriteFile(const QString& fileName, const QByteArray& bytes);
    bool ExportGif(const QString& target);
    bool ExportSheet(const QString& target);
    bool ExportFrames(const QString& target);
    bool ExportCHeader(const QString& target);
    bool ExportBinary(const QString& target);
    bool ExportFormat(const QString& target);
    // Frame index's dots as they are written: turned when the options say so.
    FramePixels Pixels(int index) const;
    void Report(int done);

    const TAnimation& m_animation;
    TExportOptions m_options;
    Progress m_progress;
    QString m_error;
    QStringList m_written;
};

} // namespace vistrel
