#include "fileNames.h"
#include "localFiles.h"
#include "unitAnimation.h"
#include "unitLCDFile.h"
#include "unitVMSFile.h"

#include <QBuffer>
#include <QFile>

namespace vistrel {

namespace {

QString UpperExtension(const QString& fileName) {
    return fileName.right(ExtensionLength(fileName)).toUpper();
}

} // namespace

QString TAnimation::LCDFileName(const QString& fileName) {
    // On a case-sensitive file system "walk.lcd" and "walk.LCD" are two files: a
    // name that already has the LCD extension is kept, so saving overwrites it.
    if (UpperExtension(fileName) == QLatin1String(".LCD"))
        return fileName;
    return fileName.left(fileName.size() - ExtensionLength(fileName)) + QStringLiteral(".LCD");
}

bool TAnimation::LoadLCD(QIODevice& stream) {
    SourceKind = SourceNone;
    TLCDFile file;
    if (!file.LoadFromStream(stream))
        return false;
    SourceKind = file.Kind;
    Clear();
    RepeatCount = file.RepeatCount();
    AppendBlankFrames(file.FrameCount());
    for (int index = 0; index < file.FrameCount(); ++index) {
        const TLCDFrame& source = file.Frames[static_cast<std::size_t>(index)];
        AddCommand().Value = TCommand::DrawFrame(index + 1);
        TFrame& frame = Frame(index);
        frame.SetDuration(source.Duration());
        for (int i = 0; i < FramePixelCount; ++i)
            frame.Pixels[static_cast<std::size_t>(i)] =
                source.Pixels[static_cast<std::size_t>(i)] == LCDLayout::LitByte ? 1 : 0;
        PaintCell(index);
    }
    return true;
}

bool TAnimation::SaveLCD(QIODevice& stream) {
    // The format counts frames in one byte: a longer animation is refused rather
    // than written as a file that silently drops frames.
    if (FrameCount() == 0 || FrameCount() > LCDLayout::MaxLCDFrames)
        return false;
    TLCDFile file;
    file.SetFrameCount(FrameCount());
    file.SetRepeatCount(RepeatCount);
    for (int i = 0; i < FrameCount(); ++i) {
        const TFrame& frame = Frame(i);
        TLCDFrame& target = file.Frames[static_cast<std::size_t>(i)];
        target.SetDuration(frame.Duration());
        for (int p = 0; p < FramePixelCount; ++p)
            target.Pixels[static_cast<std::size_t>(p)] =
                frame.Pixels[static_cast<std::size_t>(p)] == 1 ? LCDLayout::LitByte : 0;
    }
    if (!file.SaveToStream(stream))
        return false;
    SourceKind = SourceLCD;
    return true;
}

bool TAnimation::SaveToFile(const QString& fileName, QString* reason) {
    if (FrameCount() == 0 || FrameCount() > LCDLayout::MaxLCDFrames)
        return false;
    // Written beside the old file and renamed over it only when complete, so a
    // failed or interrupted save never destroys the document on disk.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const int sourceKind = SourceKind;
    if (SaveLCD(buffer) && SaveLocalFile(LCDFileName(fileName), bytes, reason))
        return true;
    SourceKind = sourceKind;
    return false;
}

bool TAnimation::LoadFromFile(const QString& fileName, QString* reason) {
    if (reason)
        reason->clear();
    const QString extension = UpperExtension(fileName);
    const bool isLCD = extension == QLatin1String(".LCD");
    bool loaded = false;
    if (isLCD || extension == QLatin1String(".VMS")) {
        QFile file;
        if (!OpenLocalFile(file, fileName, reason)) {
            SourceKind = SourceNone;
        } else if (!isLCD && file.size() > TVMSFile::MaxFileSize) {
            // Scanned whole for its markers, a huge file would freeze the window.
            SourceKind = SourceNone;
            if (reason)
                *reason = QStringLiteral("the file is larger than the %1 KiB a memory card holds")
                              .arg(TVMSFile::MaxFileSize / 1024);
        } else {
            loaded = isLCD ? LoadLCD(file) : LoadVMS(file);
        }
    }
    BuildScript();
    return loaded;
}

bool TAnimation::LoadVMS(QIODevice& stream) {
    SourceKind = SourceNone;
    TVMSFile file;
    if (!file.LoadFromStream(stream))
        return false;
    SourceKind = file.Kind;
    Clear();
    RepeatCount = file.RepeatCount;
    AppendBlankFrames(file.FrameCount());
    for (int index = 0; index < file.FrameCount(); ++index) {
        const TVMSFrame& source = file.Frames[static_cast<std::size_t>(index)];
        TFrame& frame = Frame(index);
        frame.SetDuration(source.Duration);
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x)
                frame.Pixels[static_cast<std::size_t>(PixelIndex(x, y))] =
                    VMSBitmapPixel(source.Bits, x, y) ? 1 : 0;
        PaintCell(index);
    }
    for (const TVMSCommand& command : file.Commands)
        AddCommand().Value = command.Value;
    if (file.Commands.empty())
        for (int i = 0; i < FrameCount(); ++i)
            AddCommand().Value = TCommand::DrawFrame(i + 1);
    return true;
}

bool TAnimation::InsertAnimation(int index, const TAnimation& source) {
    // All or nothing, as a paste: an animation that does not fit whole is refused
    // and the document stays as it was.
    if (index < -1 || index > FrameCount() ||
        source.FrameCount() > MaxDocumentFrames - FrameCount())
        return false;
    std::vector<TFrame> frames;
    frames.reserve(static_cast<std::size_t>(source.FrameCount()));
    for (int i = 0; i < source.FrameCount(); ++i)
        frames.push_back(NewFrame(source.Frame(i).Duration(), source.Frame(i).Pixels.data()));
    return InsertFrames(index, std::move(frames));
}

bool TAnimation::AppendAnimation(const QString& fileName, QString* reason) {
    return InsertAnimation(-1, fileName, reason);
}

bool TAnimation::InsertAnimation(int index, const QString& fileName, QString* reason) {
    if (reason)
        reason->clear();
    if (index < -1)
        return false;
    TAnimation source;
    if (!source.LoadFromFile(fileName, reason))
        return false;
    return InsertAnimation(index, source);
}

} // namespace vistrel
