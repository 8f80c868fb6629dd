#pragma once

#include <QStringList>
#include <iosfwd>
#include <optional>

namespace vistrel {
class TAnimation;
}

namespace vistrel::cli {

// Runs vistrel-cli with its arguments (without the program name); writes the
// results to out and messages to err, and returns the exit status: 1 also when
// out could not be written.
int Run(const QStringList& arguments, std::ostream& out, std::ostream& err);

// Saves the animation as an LCD file under target (its extension made .LCD) and
// prints the name written; a document no LCD file can hold is refused with the
// reason. Returns the exit status.
int Convert(TAnimation& animation, const QString& target, std::ostream& out, std::ostream& err);

// The command line as file names the file system gets back byte for byte; none,
// with a message on err, when an argument cannot be (Qt turns bytes that are not
// valid UTF-8 into replacement characters, which would name another file).
std::optional<QStringList> DecodeArguments(int argc, const char* const argv[], std::ostream& err);

} // namespace vistrel::cli
