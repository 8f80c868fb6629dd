#include "cliCommands.h"

#include "cliExportAnimation.h"
#include "cliImport.h"
#include "cliImportAnimation.h"
#include "cliRecover.h"
#include "cliSpeed.h"
#include "fileNames.h"
#include "localFiles.h"
#include "unitAnimation.h"
#include "unitLCDFile.h"

#include <QFileInfo>
#include <ostream>

namespace vistrel::cli {

namespace {

constexpr char Usage[] =
    "Usage: vistrel-cli COMMAND ARGUMENTS\n"
    "Inspect and convert memory card LCD animations (.lcd) and VMS files (.vms).\n"
    "\n"
    "Commands:\n"
    "  info FILE            source kind, repeat count, frame and command counts,\n"
    "                       frame durations in ticks and the total length\n"
    "  script FILE          the script listing of the file's commands\n"
    "  frame FILE INDEX     frame INDEX (from 0) as 32 lines of 48 characters,\n"
    "                       '#' for a lit dot and '.' for an unlit one\n"
    "  convert IN OUT       save IN as an LCD file under OUT (extension .LCD)\n"
    "                       and print the name written\n"
    "  import PICTURE [--scale fit|PERCENT] [--method fs|bayer|quant]\n"
    "         [--threshold T] [--window X,Y] [--append ANIM]\n"
    "                       turn a JPEG, BMP, ICO, PNG or GIF picture into a frame\n"
    "                       and print it as frame does, or add it as the last\n"
    "                       frame of ANIM and print the name written\n"
    "  import-animation SOURCE OUT [--start T] [--end T] [--fps N] [--step N]\n"
    "         [--no-merge] [--keep-still] [--sequence] [--partial]\n"
    "         [--scale fit|PERCENT] [--method fs|bayer|quant] [--threshold T] [--window X,Y]\n"
    "                       turn an animated GIF, WebP or PNG, a numbered picture\n"
    "                       sequence or a video clip into timed frames, saved as\n"
    "                       convert does; prints the frames and total ticks\n"
    "  export ANIM INDEX OUT.bmp|OUT.png\n"
    "                       write frame INDEX as a 48 x 32 BMP or PNG picture\n"
    "  export-animation ANIM OUT [--scale N] [--columns N] [--fps N] [--colors LIT,UNLIT]\n"
    "         [--rotate 180] [--durations OUT.txt]\n"
    "                       write ANIM as an animated GIF (OUT.gif), a sheet of\n"
    "                       frames (OUT.png), a C header (OUT.h), raw 192-byte\n"
    "                       frames (OUT.bin) or numbered PNG frames (OUT a folder)\n"
    "                       and print the names written; --rotate 180 turns every\n"
    "                       frame upside down, --durations writes the ticks of\n"
    "                       every frame, one a line\n"
    "  speed IN PERCENT OUT every duration of IN played at PERCENT of its speed\n"
    "                       (1% to 25500%; 200% halves them), saved as convert does\n"
    "  recover              list the unsaved documents a Vistrel that stopped left\n"
    "                       behind, one a line: ID, name, frames, time of the last\n"
    "                       change, separated by tabs\n"
    "  recover ID OUT       save document ID as convert does, then remove its\n"
    "                       recovery file\n"
    "\n"
    "Options:\n"
    "  --                   the arguments after it are names, not options\n"
    "  --help               show this help\n"
    "  --version            show the version\n";

int Info(const TAnimation& animation, std::ostream& out) {
    out << "source: " << animation.SourceKind << '\n';
    out << "repeat: " << int{animation.RepeatCount} << '\n';
    out << "frames: " << animation.FrameCount() << '\n';
    out << "commands: " << animation.CommandCount() << '\n';
    out << "durations:";
    for (int i = 0; i < animation.FrameCount(); ++i)
        out << ' ' << int{animation.Frame(i).Duration()};
    out << '\n';
    const int total =
        animation.FrameCount() == 0 ? 0 : animation.Frame(animation.FrameCount() - 1).EndTime();
    out << "total: " << total << '\n';
    return Success;
}

int Script(const TAnimation& animation, std::ostream& out) {
    for (const QString& line : animation.ScriptText)
        out << Local(line) << '\n';
    return Success;
}

int PrintFrame(const TAnimation& animation, const QString& indexText, std::ostream& out,
               std::ostream& err) {
    const std::optional<int> index = FrameIndex(animation, indexText, err);
    if (!index)
        return Failure;
    PrintPixels(animation.Frame(*index).Pixels, out);
    return Success;
}

struct CommandShape {
    const char* name;
    qsizetype arguments;
};

constexpr CommandShape Commands[] = {
    {"info", 1}, {"script", 1}, {"frame", 2}, {"convert", 2}, {"speed", 3}};

} // namespace

std::string Local(const QString& text) {
    return FileNameToBytes(text).toStdString();
}

QString ShortName(const QString& path) {
    return QFileInfo(path).fileName();
}

bool Load(TAnimation& animation, const QString& fileName, std::ostream& err) {
    QString reason;
    if (animation.LoadFromFile(fileName, &reason))
        return true;
    err << Local(UnableToOpenMessage(ShortName(fileName), reason)) << '\n';
    return false;
}

std::optional<int> FrameIndex(const TAnimation& animation, const QString& indexText,
                              std::ostream& err) {
    bool isNumber = false;
    const int index = indexText.toInt(&isNumber);
    if (isNumber && animation.IsValidIndex(index))
        return index;
    err << "No frame " << Local(indexText) << ": ";
    if (animation.FrameCount() == 0)
        err << "the animation has no frames\n";
    else
        err << "frames are numbered 0 to " << animation.FrameCount() - 1 << '\n';
    return std::nullopt;
}

void PrintPixels(const FramePixels& pixels, std::ostream& out) {
    for (int y = 0; y < FrameHeight; ++y) {
        std::string row(FrameWidth, '.');
        for (int x = 0; x < FrameWidth; ++x)
            if (pixels[static_cast<std::size_t>(PixelIndex(x, y))] == 1)
                row[static_cast<std::size_t>(x)] = '#';
        out << row << '\n';
    }
}

bool CheckOutputName(const QString& target, std::ostream& err) {
    if (target.isEmpty()) {
        err << "Unable to save: the output file name is empty\n";
        return false;
    }
    const QString name = QFileInfo(target).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        err << "Unable to save " << Local(target) << ": the name is a folder's, not a file's\n";
        return false;
    }
    return true;
}

int SaveAnimation(TAnimation& animation, const QString& target, std::ostream& out,
                  std::ostream& err) {
    if (!CheckOutputName(target, err))
        return Failure;
    const QString written = TAnimation::LCDFileName(target);
    if (animation.FrameCount() == 0) {
        err << "Unable to save " << Local(ShortName(written)) << ": the animation has no frames\n";
        return Failure;
    }
    if (animation.FrameCount() > LCDLayout::MaxLCDFrames) {
        err << "Unable to save " << Local(ShortName(written)) << ": an LCD file holds at most "
            << LCDLayout::MaxLCDFrames << " frames, the animation has " << animation.FrameCount()
            << '\n';
        return Failure;
    }
    QString reason;
    if (!animation.SaveToFile(target, &reason)) {
        err << "Unable to save " << Local(ShortName(written));
        if (!reason.isEmpty())
            err << ": " << Local(reason);
        err << '\n';
        return Failure;
    }
    out << Local(written) << '\n';
    return Success;
}

namespace {

int RunCommand(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.isEmpty()) {
        err << Usage;
        return Failure;
    }
    const QString& command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << Usage;
        return Success;
    }
    if (command == QLatin1String("--version")) {
        out << "vistrel-cli " << VISTREL_VERSION << '\n';
        return Success;
    }
    if (command == QLatin1String("import"))
        return RunImport(arguments.mid(1), out, err);
    if (command == QLatin1String("import-animation"))
        return RunImportAnimation(arguments.mid(1), out, err);
    // The other commands take names only; a "--" among them is accepted as the
    // option-taking commands accept it, and a name after it is never an option.
    QStringList names = arguments;
    if (const qsizetype end = names.indexOf(QLatin1String("--"), 1); end > 0)
        names.removeAt(end);
    if (command == QLatin1String("export"))
        return RunExport(names.mid(1), out, err);
    if (command == QLatin1String("recover")) {
        if (names.size() != 1 && names.size() != 3) {
            err << "Wrong number of arguments for recover\n\n" << Usage;
            return Failure;
        }
        return Recover(names.mid(1), out, err);
    }
    if (command == QLatin1String("export-animation"))
        return ExportAnimation(arguments.mid(1), out, err);
    const auto shape =
        std::find_if(std::begin(Commands), std::end(Commands),
                     [&](const CommandShape& c) { return command == QLatin1String(c.name); });
    if (shape == std::end(Commands)) {
        err << "Unknown command: " << Local(command) << "\n\n" << Usage;
        return Failure;
    }
    if (names.size() - 1 != shape->arguments) {
        err << "Wrong number of arguments for " << shape->name << "\n\n" << Usage;
        return Failure;
    }
    TAnimation animation;
    if (!Load(animation, names[1], err))
        return Failure;
    if (command == QLatin1String("info"))
        return Info(animation, out);
    if (command == QLatin1String("script"))
        return Script(animation, out);
    if (command == QLatin1String("frame"))
        return PrintFrame(animation, names[2], out, err);
    if (command == QLatin1String("speed"))
        return Speed(animation, names[2], names[3], out, err);
    return SaveAnimation(animation, names[2], out, err);
}

} // namespace

int Run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    const int status = RunCommand(arguments, out, err);
    // A result that did not reach its reader (a full disk, a closed pipe) is a
    // failure, whatever the command made of its input.
    out.flush();
    if (!out) {
        err << "Unable to write the output\n";
        return Failure;
    }
    return status;
}

} // namespace vistrel::cli
