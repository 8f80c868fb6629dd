#include "cliExportAnimation.h"

#include "cliArguments.h"
#include "cliCommands.h"
#include "exportChoices.h"
#include "localFiles.h"
#include "unitAnimation.h"
#include "unitAnimationExport.h"
#include "unitPreferences.h"

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <ostream>

namespace vistrel::cli {

namespace {

// Reads a number from low to high for option; false after telling why on err.
bool ReadNumber(const QString& option, const QString& text, int low, int high, const char* hint,
                int& number, std::ostream& err) {
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (!isNumber || value < low || value > high) {
        err << "Bad value for " << Local(option) << ": " << Local(text) << " (use " << low << " to "
            << high << hint << ")\n";
        return false;
    }
    number = value;
    return true;
}

// "lcd" and "black" name the two looks the window offers; otherwise two colours.
bool ParseColours(const QString& text, TExportColours& colours) {
    if (text.compare(QLatin1String("lcd"), Qt::CaseInsensitive) == 0) {
        colours = LCDColours;
        return true;
    }
    if (text.compare(QLatin1String("black"), Qt::CaseInsensitive) == 0) {
        colours = BlackOnWhite;
        return true;
    }
    const QStringList parts = text.split(u',');
    return parts.size() == 2 && TExportChoices::ParseColour(parts[0], colours.Lit) &&
           TExportChoices::ParseColour(parts[1], colours.Unlit);
}

struct Request {
    QString animation;
    QString target;
    TExportOptions options;
};

// Reads the arguments into a request; false after telling why on err.
bool Parse(const QStringList& arguments, Request& request, std::ostream& err) {
    TExportOptions& options = request.options;
    const TArgumentRules rules{
        .Command = "export-animation",
        .TakesValue =
            [](const QString& option) {
                static const QStringList Known{
                    QStringLiteral("--scale"),     QStringLiteral("--columns"),
                    QStringLiteral("--fps"),       QStringLiteral("--rotate"),
                    QStringLiteral("--durations"), QStringLiteral("--colors")};
                return Known.contains(option);
            },
    };
    const auto read = [&](const QString& option, const QString& value) {
        if (option == QLatin1String("--scale"))
            return ReadNumber(option, value, TExportOptions::MinScale, TExportOptions::MaxScale, "",
                              options.Scale, err);
        if (option == QLatin1String("--columns"))
            return ReadNumber(option, value, 0, MaxDocumentFrames, ", 0 for one row",
                              options.Columns, err);
        if (option == QLatin1String("--fps"))
            return ReadNumber(option, value, 1, TVMUPreferences::MaxPlayerFPS, "",
                              options.PlayerFPS, err);
        if (option == QLatin1String("--rotate")) {
            if (value != QLatin1String("180")) {
                err << "Bad value for --rotate: " << Local(value)
                    << " (only 180 is offered: it turns every frame upside down)\n";
                return false;
            }
            options.Rotate180 = true;
        } else if (option == QLatin1String("--durations")) {
            if (value.isEmpty()) {
                err << "Bad value for --durations: it needs a file name\n";
                return false;
            }
            options.DurationsFile = value;
        } else if (!ParseColours(value, options.Colours)) {
            err << "Bad value for --colors: " << Local(value)
                << " (use LIT,UNLIT such as #000000,#ffffff, or lcd)\n";
            return false;
        }
        return true;
    };
    QStringList names;
    if (!ReadArguments(arguments, rules, read, names, err))
        return false;
    if (names.size() != 2) {
        err << "export-animation needs an animation and an output name\n";
        return false;
    }
    request.animation = names[0];
    request.target = names[1];
    return true;
}

// The format follows the output name: a folder (an existing one, or a name
// ending in a separator) takes numbered PNG frames named after the animation.
bool ChooseFormat(Request& request, std::ostream& err) {
    const QString& target = request.target;
    if (target.endsWith(u'/') || IsLocalFolder(target)) {
        request.options.Format = TExportFormat::PngFrames;
        const QString base = QFileInfo(request.animation).completeBaseName();
        request.target = QDir(target).filePath(base + QStringLiteral(".png"));
        return true;
    }
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix == QLatin1String("gif"))
        request.options.Format = TExportFormat::Gif;
    else if (suffix == QLatin1String("png"))
        request.options.Format = TExportFormat::PngSheet;
    else if (suffix == QLatin1String("h"))
        request.options.Format = TExportFormat::CHeader;
    else if (suffix == QLatin1String("bin"))
        request.options.Format = TExportFormat::Binary;
    else {
        err << "Unable to tell what to write as " << Local(QFileInfo(target).fileName())
            << ": name a .gif, a .png sheet, a .h header, a .bin of raw frames or a folder "
               "for PNG frames\n";
        return false;
    }
    return true;
}

} // namespace

int ExportAnimation(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    Request request;
    if (!Parse(arguments, request, err) || !ChooseFormat(request, err))
        return Failure;
    TAnimation animation;
    if (!Load(animation, request.animation, err))
        return Failure;
    // A mistyped name must not turn the animation itself into a table (the
    // frames cannot reach it: their extensions are never those of an animation).
    const QString& durations = request.options.DurationsFile;
    if (!durations.isEmpty() && IsSameLocalFile(durations, request.animation)) {
        err << "Unable to write " << Local(QFileInfo(durations).fileName())
            << ": it is the animation being exported\n";
        return Failure;
    }
    if (request.options.Format == TExportFormat::PngFrames &&
        !MakeLocalFolder(QFileInfo(request.target).path())) {
        err << "Unable to create the folder " << Local(QFileInfo(request.target).path()) << '\n';
        return Failure;
    }
    request.options.SourceName = QFileInfo(request.animation).fileName();
    TAnimationExport exporter(animation, request.options);
    const bool exported = exporter.Export(request.target);
    for (const QString& name : exporter.Written())
        out << Local(name) << '\n';
    if (!exported) {
        err << Local(exporter.ErrorText()) << '\n';
        return Failure;
    }
    return Success;
}

} // namespace vistrel::cli
