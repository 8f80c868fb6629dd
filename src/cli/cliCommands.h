#pragma once

#include <QStringList>
#include <iosfwd>

namespace vistrel::cli {

// Runs vistrel-cli with its arguments (without the program name); writes the
// results to out and messages to err, and returns the exit status: 1 also when
// out could not be written.
int Run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
