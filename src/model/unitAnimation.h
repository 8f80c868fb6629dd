#pragma once

#include "clipboardBlock.h"
#include "unitFrame.h"

#include <QImage>
#include <QStringList>
#include <memory>
#include <vector>

class QIODevice;

namespace vistrel {

// What kind of file the animation was last loaded from or saved to.
enum SourceKindValue : int {
    SourceNone = 0,
    SourceDreamLCD = 1,
    SourceLCD = 2,
    SourceVMSPlain = 3,
    SourceVMSScripted = 4,
};

// The document: frames in playing order, the loaded file's script, the repeat
// count and the frame sheet, a bitmap holding every frame at 1:1 so that
// drawing a frame anywhere is one scaled copy of its cell.
class TAnimation {
public:
    TAnimation();
    ~TAnimation();
    TAnimation(const TAnimation&) = delete;
    TAnimation& operator=(const TAnimation&) = delete;

    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    TFrame& Frame(int index) { return *m_frames.at(static_cast<std::size_t>(index)); }
    const TFrame& Frame(int index) const { return *m_frames.at(static_cast<std::size_t>(index)); }
    bool IsValidIndex(int index) const { return index >= 0 && index < FrameCount(); }

    int CommandCount() const { return static_cast<int>(m_commands.size()); }
    const std::vector<TCommand>& Commands() const { return m_commands; }
    TCommand& AddCommand();

    std::uint8_t RepeatCount = 1; // 255 plays forever
    int SourceKind = SourceNone;
    QStringList ScriptText;

    const QImage& FrameSheet() const { return m_frameSheet; }

    static QRect CellRect(int index);

    // Frame list editing; the refusals return false and leave everything as it was.
    bool AddFrame();
    bool InsertFrame(int index); // -1 appends
    void DeleteFrame(int index);
    void DeleteSelectedFrames();
    // Removes frames first..last and hands them back as they were: picture,
    // duration, red and blue layer marks, range mark. Nothing for a range that is
    // not all in the animation. The frames handed back are detached: changing
    // them touches the animation no more.
    std::vector<TFrame> TakeFrames(int first, int last);
    // Puts frames before index, -1 appending, as they are, so that frames taken
    // out come back exactly; a layer mark they carry moves off any other frame.
    // All or nothing: false, with the animation unchanged, for an index outside
    // it or frames that do not all fit.
    bool InsertFrames(int index, std::vector<TFrame> frames);
    // Moves frames first..last, as they are, so that the first of them ends up
    // at index to (counted once they moved); the frames they pass close up
    // behind them. False, with the animation unchanged, for a range that is not
    // all in the animation or a place the frames do not fit.
    bool MoveFrames(int first, int last, int to);
    // Takes the range mark off every frame.
    void ClearSelectedMarks();
    void Clear();
    void ClearCommands();
    void ClearFrames();

    void FrameDurationChanged(TFrame& sender);
    void RedLayerChanged(TFrame& sender);
    void BlueLayerChanged(TFrame& sender);

    // Bitmap exchange with the frame sheet.
    void DrawFrame(int index, QImage& bitmap) const;
    void StoreFrame(int index, const QImage& bitmap);
    // A picture's dots as a frame holds them (exact black lit).
    static FramePixels PixelsOf(const QImage& bitmap);
    // Repaints a frame's cell from its Pixels (after loading or pasting them).
    void PaintCell(int index);

    // Files.
    // Loads an LCD or VMS file (by its extension). On failure, reason (when given)
    // receives why when the file itself could not be read (the system's words,
    // "not a regular file", a VMS file larger than a memory card); it stays empty
    // when the file was read but holds no animation of that kind.
    bool LoadFromFile(const QString& fileName, QString* reason = nullptr);
    bool LoadLCD(QIODevice& stream);
    bool SaveLCD(QIODevice& stream);
    // On a failure of the file system, reason (when given) receives the system's
    // words for it; it stays empty when the document itself cannot be an LCD file
    // (no frames, or more than one can hold).
    bool SaveToFile(const QString& fileName, QString* reason = nullptr);
    // reason as for LoadFromFile.
    bool AppendAnimation(const QString& fileName, QString* reason = nullptr);
    bool InsertAnimation(int index, const QString& fileName, QString* reason = nullptr);
    // Inserts the frames (durations and pixels) of a loaded animation before
    // index, -1 appending. All or nothing: false, with the document unchanged,
    // when they do not all fit.
    bool InsertAnimation(int index, const TAnimation& source);
    bool LoadVMS(QIODevice& stream);
    // The name SaveToFile writes for fileName: its extension replaced by ".LCD".
    static QString LCDFileName(const QString& fileName);

    // Script listing of Commands into ScriptText.
    void BuildScript();

    // The frame clipboard's payload: one entry per frame, its duration byte and
    // its 1536 pixel bytes. Where the payload travels is the window's business.
    // The entry of one frame; empty when there is no such frame.
    QByteArray FramePayload(int index) const;
    // The entries of the range-marked frames in frame order; empty when none is.
    QByteArray SelectedFramesPayload() const;
    // Inserts the frames of a frame clipboard payload (entries of a duration byte
    // and 1536 pixel bytes) before index, -1 appending. All or nothing: false,
    // with the document unchanged, when the frames do not all fit; a payload that
    // ends in an incomplete entry raises EBinClipboardError.
    bool InsertFramePayload(int index, const QByteArray& payload);

private:
    // A frame as a paste or an inserted animation brings it: a duration and a picture.
    static TFrame NewFrame(std::uint8_t duration, const std::uint8_t* pixels);
    TFrame& CreateFrameAt(int index);
    void AttachFrame(TFrame& frame);
    // Appends blank frames with the sheet resized once for all of them (loading).
    void AppendBlankFrames(int count);
    void MoveCell(int from, int to);
    void FillCellWhite(int index);
    void SetSheetHeightFor(int frameCount);
    void RetimeFrom(int index);
    int IndexOf(const TFrame& frame) const;

    std::vector<std::unique_ptr<TFrame>> m_frames;
    std::vector<TCommand> m_commands;
    QImage m_frameSheet;
};

} // namespace vistrel
