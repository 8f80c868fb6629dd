#include "startupArguments.h"

#include "integerText.h"

namespace vistrel {

TStartupArguments TStartupArguments::Parse(const QStringList& arguments) {
    TStartupArguments result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // A switch is a slash and one letter; anything longer is a file, since on
        // this system absolute paths start with a slash too. A slash alone names no
        // file anyone would open as an animation: it is ignored like an unknown switch.
        const bool isSwitch = argument.size() <= 2 && argument.startsWith(u'/');
        if (!isSwitch) {
            result.FileName = argument; // the last file named counts
            continue;
        }
        const QString option = argument.toUpper();
        const bool takesValue = option == QLatin1String("/P") || option == QLatin1String("/I");
        // A switch consumes the next argument even when it starts with "/".
        if (!takesValue || i + 1 >= arguments.size())
            continue;
        const QString& value = arguments[++i];
        if (option == QLatin1String("/P")) {
            result.FileName = value;
            result.Play = true;
        } else {
            const int number = ParseInteger(value).value_or(-1);
            result.BrowserWindowID = QString::asprintf("0x%8.8x", static_cast<unsigned>(number));
        }
    }
    return result;
}

} // namespace vistrel
