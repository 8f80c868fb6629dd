#include "cliImportAnimation.h"

#include "animationImport.h"
#include "animationSourceFactory.h"
#include "cliArguments.h"
#include "cliCommands.h"
#include "cliPictureOptions.h"
#include "unitAnimation.h"
#include "unitLCDFile.h"

#include <functional>
#include <map>
#include <optional>
#include <ostream>

namespace vistrel::cli {

namespace {

constexpr char Usage[] =
    "Usage: vistrel-cli import-animation SOURCE OUT [--start T] [--end T] [--fps N]\n"
    "         [--step N] [--no-merge] [--keep-still] [--sequence] [--partial]\n"
    "         [--scale fit|PERCENT] [--method fs|bayer|quant] [--threshold T] [--window X,Y]\n"
    "  T is a time in seconds (1.5) or a frame number from 0 after # (#12)\n"
    "  --keep-still: dots where the source stands still keep their value from frame\n"
    "  to frame instead of shimmering\n";

struct TAnimationArguments {
    QString Source;
    QString Target;
    TPictureOptions Picture;
    TAnimationImportOptions Import;
    bool Sequence = false;
    bool Partial = false;
};

// "1.5" (seconds) or "#12" (a frame number from 0).
std::optional<TRangeEnd> ParseRangeEnd(const QString& text, std::ostream& err) {
    bool isNumber = false;
    if (text.startsWith(QLatin1Char('#'))) {
        const qint64 frame = text.mid(1).toLongLong(&isNumber);
        if (isNumber && frame >= 0)
            return TRangeEnd::AtFrame(frame);
    } else {
        const double seconds = text.toDouble(&isNumber);
        if (isNumber && seconds >= 0 && seconds < 1e9)
            return TRangeEnd::AtMs(qRound64(seconds * 1000));
    }
    err << "Invalid start or end: " << Local(text)
        << " (seconds such as 1.5, or a frame number such as #12)\n";
    return std::nullopt;
}

std::optional<int> ParseCount(const QString& text, int low, int high, const char* what,
                              std::ostream& err) {
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (isNumber && value >= low && value <= high)
        return value;
    err << "Invalid " << what << ": " << Local(text) << " (" << low << " to " << high << ")\n";
    return std::nullopt;
}

std::optional<TAnimationArguments> Parse(const QStringList& arguments, std::ostream& err) {
    TAnimationArguments parsed;
    const std::map<QString, std::function<void()>> flags{
        {QStringLiteral("--no-merge"), [&] { parsed.Import.Merge = false; }},
        {QStringLiteral("--keep-still"), [&] { parsed.Import.KeepStill = true; }},
        {QStringLiteral("--sequence"), [&] { parsed.Sequence = true; }},
        {QStringLiteral("--partial"), [&] { parsed.Partial = true; }},
    };
    const TArgumentRules rules{
        .Command = "import-animation",
        .Usage = Usage,
        .IsFlag = [&](const QString& option) { return flags.contains(option); },
        .TakesValue =
            [](const QString& option) {
                return IsPictureOption(option) || option == QLatin1String("--start") ||
                       option == QLatin1String("--end") || option == QLatin1String("--fps") ||
                       option == QLatin1String("--step");
            },
    };
    const auto read = [&](const QString& option, const QString& value) {
        if (const auto flag = flags.find(option); flag != flags.end()) {
            flag->second();
        } else if (IsPictureOption(option)) {
            return ParsePictureOption(option, value, parsed.Picture, err);
        } else if (option == QLatin1String("--start") || option == QLatin1String("--end")) {
            const std::optional<TRangeEnd> end = ParseRangeEnd(value, err);
            if (!end)
                return false;
            (option == QLatin1String("--start") ? parsed.Import.Start : parsed.Import.End) = *end;
        } else if (option == QLatin1String("--fps")) {
            const std::optional<int> fps = ParseCount(value, 1, 100, "ticks a second", err);
            if (!fps)
                return false;
            parsed.Import.Fps = *fps;
        } else {
            const std::optional<int> step = ParseCount(value, 1, 255, "step", err);
            if (!step)
                return false;
            parsed.Import.Step = *step;
        }
        return true;
    };
    QStringList names;
    if (!ReadArguments(arguments, rules, read, names, err))
        return std::nullopt;
    if (names.size() != 2) {
        err << "Wrong number of arguments for import-animation\n\n" << Usage;
        return std::nullopt;
    }
    if (!CheckOutputName(names[1], err))
        return std::nullopt;
    parsed.Source = names[0];
    parsed.Target = names[1];
    parsed.Import.Scale = parsed.Picture.Scale;
    parsed.Import.Method = parsed.Picture.Method;
    parsed.Import.Threshold = parsed.Picture.Threshold;
    parsed.Import.Window = parsed.Picture.Window.value_or(QPoint(0, 0));
    return parsed;
}

} // namespace

int RunImportAnimation(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    std::optional<TAnimationArguments> parsed = Parse(arguments, err);
    if (!parsed)
        return Failure;
    QString reason;
    const std::unique_ptr<IAnimationSource> source =
        OpenAnimationSource(parsed->Source, parsed->Sequence, &reason);
    if (!source) {
        err << "Unable to open " << Local(ShortName(parsed->Source)) << ": " << Local(reason)
            << '\n';
        return Failure;
    }
    // One more than an LCD file holds: a source that gives more is refused
    // before anything is written, without reading the rest of it.
    parsed->Import.MaxFrames = LCDLayout::MaxLCDFrames + 1;
    TAnimationImportResult result = TAnimationImport(parsed->Import).Run(*source);
    const QString written = TAnimation::LCDFileName(parsed->Target);
    if (result.TooManyFrames || static_cast<int>(result.Frames.size()) > LCDLayout::MaxLCDFrames) {
        err << "Unable to save " << Local(ShortName(written)) << ": an LCD file holds at most "
            << LCDLayout::MaxLCDFrames << " frames, the animation has more\n";
        return Failure;
    }
    if (result.Partial && !parsed->Partial) {
        err << "Unable to import " << Local(ShortName(parsed->Source)) << ": "
            << Local(result.Error) << " (" << result.FramesRead
            << " frames could be read; --partial takes them)\n";
        return Failure;
    }
    if (result.Frames.empty()) {
        err << "Unable to import " << Local(ShortName(parsed->Source)) << ": "
            << Local(result.Error.isEmpty() ? QStringLiteral("no frames in the range")
                                            : result.Error)
            << '\n';
        return Failure;
    }
    TAnimation animation;
    const int frames = static_cast<int>(result.Frames.size());
    const qint64 ticks = result.TotalTicks();
    animation.InsertFrames(0, std::move(result.Frames));
    if (result.LoopCount > 0)
        animation.RepeatCount = static_cast<std::uint8_t>(std::min(result.LoopCount, 254));
    else if (result.LoopCount == 0)
        animation.RepeatCount = 255; // plays forever
    const int status = SaveAnimation(animation, parsed->Target, out, err);
    if (status == Success)
        out << "frames: " << frames << "\nticks: " << ticks << '\n';
    return status;
}

} // namespace vistrel::cli
