#include "cliImport.h"

#include "cliArguments.h"
#include "cliCommands.h"
#include "cliPictureOptions.h"
#include "frameBitmapFile.h"
#include "localFiles.h"
#include "pictureLoader.h"
#include "unitAnimation.h"
#include "unitImportFrame.h"

#include <QFileInfo>
#include <optional>
#include <ostream>

namespace vistrel::cli {

namespace {

constexpr char ImportUsage[] =
    "Usage: vistrel-cli import PICTURE [--scale fit|PERCENT] [--method fs|bayer|quant]\n"
    "                          [--threshold T] [--window X,Y] [--append ANIM]\n";
constexpr char ExportUsage[] = "Usage: vistrel-cli export ANIM INDEX OUT.bmp|OUT.png\n";

struct TImportOptions : TPictureOptions {
    QString Picture;
    std::optional<QString> Append;
};

std::optional<TImportOptions> ParseImport(const QStringList& arguments, std::ostream& err) {
    TImportOptions options;
    const TArgumentRules rules{
        .Command = "import",
        .Usage = ImportUsage,
        .TakesValue =
            [](const QString& option) {
                return IsPictureOption(option) || option == QLatin1String("--append");
            },
    };
    const auto read = [&](const QString& option, const QString& value) {
        if (option != QLatin1String("--append"))
            return ParsePictureOption(option, value, options, err);
        if (!CheckOutputName(value, err))
            return false;
        options.Append = value;
        return true;
    };
    QStringList names;
    if (!ReadArguments(arguments, rules, read, names, err))
        return std::nullopt;
    if (names.size() != 1) {
        err << "Wrong number of arguments for import\n\n" << ImportUsage;
        return std::nullopt;
    }
    options.Picture = names[0];
    return options;
}

// Adds the frame after the last one of the document (created when neither the
// name nor its LCD name exists) and saves it as convert does.
int AppendFrame(const FramePixels& pixels, const QString& target, std::ostream& out,
                std::ostream& err) {
    TAnimation animation;
    QString existing;
    if (LocalFileExists(target))
        existing = target;
    else if (LocalFileExists(TAnimation::LCDFileName(target)))
        existing = TAnimation::LCDFileName(target);
    if (!existing.isEmpty() && !Load(animation, existing, err))
        return Failure;
    if (!animation.AddFrame()) {
        err << "Unable to insert new frame (maximum = " << MaxDocumentFrames << ").\n";
        return Failure;
    }
    const int index = animation.FrameCount() - 1;
    animation.Frame(index).Pixels = pixels;
    animation.PaintCell(index);
    return SaveAnimation(animation, target, out, err);
}

} // namespace

int RunImport(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    const std::optional<TImportOptions> options = ParseImport(arguments, err);
    if (!options)
        return Failure;
    // The scale never changes here, so the picture is scaled as it loads and
    // the importer gets it at 100 %: a large photo is never held at full size.
    const int scale = options->Scale;
    const TPictureLoad load = LoadPictureAtSize(
        options->Picture, [scale](QSize size) { return TImportFrame::ScaledSize(size, scale); });
    if (!load.Loaded()) {
        err << "Unable to open " << Local(ShortName(options->Picture)) << ": " << Local(load.Reason)
            << '\n';
        return Failure;
    }
    TImportFrame importer;
    importer.SetMethod(options->Method);
    importer.SetThreshold(options->Threshold);
    importer.SetPicture(load.Picture);
    if (options->Window)
        importer.MoveWindowTo(*options->Window);
    if (options->Append)
        return AppendFrame(importer.OutputPixels(), *options->Append, out, err);
    PrintPixels(importer.OutputPixels(), out);
    return Success;
}

int RunExport(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 3) {
        err << "Wrong number of arguments for export\n\n" << ExportUsage;
        return Failure;
    }
    if (!CheckOutputName(arguments[2], err))
        return Failure;
    TAnimation animation;
    if (!Load(animation, arguments[0], err))
        return Failure;
    const std::optional<int> index = FrameIndex(animation, arguments[1], err);
    if (!index)
        return Failure;
    const QString written = FramePictureFileName(arguments[2]);
    QString reason;
    if (!WriteFramePicture(animation.Frame(*index).Pixels, written, &reason)) {
        err << "Unable to write " << Local(ShortName(written)) << ": " << Local(reason) << '\n';
        return Failure;
    }
    out << Local(written) << '\n';
    return Success;
}

} // namespace vistrel::cli
