#pragma once

#include <QStringList>
#include <iosfwd>

namespace vistrel::cli {

// export-animation ANIM OUT [--scale N] [--columns N] [--fps N] [--colors LIT,UNLIT]
// [--rotate 180] [--durations OUT.txt]:
// arguments are those after the command's name.
int ExportAnimation(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
