#pragma once

#include <QStringList>
#include <iosfwd>

namespace vistrel::cli {

// vistrel-cli recover: lists the documents left in the recovery folder by a
// Vistrel that no longer runs, one a line: ID, name, frame count and the time
// of the last change, separated by tabs. Damaged and foreign files are named on
// err and left alone.
// vistrel-cli recover ID OUT: saves that document as convert does and, once it
// is written, removes its recovery file; a document that cannot be written
// (more frames than an LCD file holds) keeps its recovery file.
// arguments: none, or ID and OUT.
int Recover(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
