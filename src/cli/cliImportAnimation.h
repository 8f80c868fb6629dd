#pragma once

#include <QStringList>
#include <iosfwd>

namespace vistrel::cli {

// vistrel-cli import-animation SOURCE OUT [--start T] [--end T] [--fps N] [--step N]
//   [--no-merge] [--keep-still] [--sequence] [--partial] [--scale fit|PERCENT]
//   [--method fs|bayer|quant] [--threshold T] [--window X,Y]
int RunImportAnimation(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
