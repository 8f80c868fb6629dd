#include "cliArguments.h"

#include "cliCommands.h"

#include <ostream>

namespace vistrel::cli {

bool ReadArguments(const QStringList& arguments, const TArgumentRules& rules,
                   const TOptionReader& read, QStringList& names, std::ostream& err) {
    bool namesOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--") && !namesOnly) {
            namesOnly = true;
            continue;
        }
        if (namesOnly || !argument.startsWith(QLatin1String("--"))) {
            names << argument;
            continue;
        }
        if (rules.IsFlag(argument)) {
            if (!read(argument, QString()))
                return false;
            continue;
        }
        if (!rules.TakesValue(argument)) {
            err << "Unknown option for " << rules.Command << ": " << Local(argument) << '\n';
            if (*rules.Usage)
                err << '\n' << rules.Usage;
            return false;
        }
        if (i + 1 >= arguments.size()) {
            err << "Missing value for " << Local(argument) << '\n';
            if (*rules.Usage)
                err << '\n' << rules.Usage;
            return false;
        }
        if (!read(argument, arguments[++i]))
            return false;
    }
    return true;
}

} // namespace vistrel::cli
