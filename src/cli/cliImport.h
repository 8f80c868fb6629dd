#pragma once

#include <QStringList>
#include <iosfwd>

namespace vistrel::cli {

// vistrel-cli import PICTURE [--scale fit|PERCENT] [--method fs|bayer|quant]
//                           [--threshold T] [--window X,Y] [--append ANIM]
int RunImport(const QStringList& arguments, std::ostream& out, std::ostream& err);
// vistrel-cli export ANIM INDEX OUT.bmp
int RunExport(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
