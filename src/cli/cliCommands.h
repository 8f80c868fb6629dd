#pragma once

#include "unitFrame.h"

#include <QStringList>
#include <iosfwd>
#include <optional>
#include <string>

namespace vistrel {
class TAnimation;
}

namespace vistrel {
class TAnimation;
}

namespace vistrel::cli {

constexpr int Success = 0;
constexpr int Failure = 1;

// Runs vistrel-cli with its arguments (without the program name); writes the
// results to out and messages to err, and returns the exit status: 1 also when
// out could not be written.
int Run(const QStringList& arguments, std::ostream& out, std::ostream& err);

// Shared by the commands.
std::string Local(const QString& text);
QString ShortName(const QString& path);
// Loads a document; "Unable to open NAME" on err when it cannot be read.
bool Load(TAnimation& animation, const QString& fileName, std::ostream& err);
// The frame index the text names, or a message on err saying which indexes exist.
std::optional<int> FrameIndex(const TAnimation& animation, const QString& indexText,
                              std::ostream& err);
// A frame as 32 lines of 48 characters, '#' lit and '.' unlit.
void PrintPixels(const FramePixels& pixels, std::ostream& out);
// True when target can name a file to write; otherwise says why on err: an empty
// name, or one that names a folder ("dir/", ".", ".."), which would otherwise
// become a hidden file such as "dir/.LCD".
bool CheckOutputName(const QString& target, std::ostream& err);
// Saves as an LCD file (the extension made .LCD) and prints the name written.
int SaveAnimation(TAnimation& animation, const QString& target, std::ostream& out,
                  std::ostream& err);

} // namespace vistrel::cli
