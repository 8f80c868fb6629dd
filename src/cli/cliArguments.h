#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <iosfwd>

namespace vistrel::cli {

// How one command reads its arguments. The names are the arguments that do
// not start with "--", and every argument after a lone "--", so that a file
// whose name looks like an option can still be given. An option is a flag, or
// takes the argument after it as its value.
struct TArgumentRules {
    // Named in the message about an option it does not know.
    const char* Command = "";
    // Printed after a message about an option; empty for none.
    const char* Usage = "";
    std::function<bool(const QString& option)> IsFlag = [](const QString&) { return false; };
    std::function<bool(const QString& option)> TakesValue;
};

// Called for each flag (with an empty value) and each option with its value,
// in order; returns false once it told on err why the value is not taken.
using TOptionReader = std::function<bool(const QString& option, const QString& value)>;

// Reads the arguments: the names into names, the options through read. False
// when read refused a value, or after telling on err of an option the rules do
// not know or one given without its value.
bool ReadArguments(const QStringList& arguments, const TArgumentRules& rules,
                   const TOptionReader& read, QStringList& names, std::ostream& err);

} // namespace vistrel::cli
