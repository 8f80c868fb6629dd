#include "startupArguments.h"

#include "fileNames.h"
#include "integerText.h"

#include <cstring>

namespace vistrel {

namespace {

const QLatin1String EndOfOptions("--");

} // namespace

TStartupArguments TStartupArguments::Parse(const QStringList& arguments) {
    TStartupArguments result;
    bool filesOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (filesOnly) {
            result.FileName = argument;
            continue;
        }
        if (argument == EndOfOptions) {
            filesOnly = true;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.Help = true;
            continue;
        }
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
        // A switch consumes the next argument even when it starts with "/"; a
        // "--" in between ends the options and the switch takes the one after it.
        if (takesValue && i + 1 < arguments.size() && arguments[i + 1] == EndOfOptions) {
            filesOnly = true;
            ++i;
        }
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

TCommandLine::TCommandLine(int argc, char* argv[]) {
    // argv[0] is the program, never the end of the options.
    int end = argc > 0 ? 1 : 0;
    while (end < argc && std::strcmp(argv[end], "--") != 0)
        ++end;
    QtArgv.assign(argv, argv + end);
    QtArgv.push_back(nullptr);
    QtArgc = end;
    if (end < argc)
        m_afterEnd = CommandLineArguments(argc - end + 1, argv + end - 1);
}

QStringList TCommandLine::Arguments() const {
    return CommandLineArguments(QtArgc, QtArgv.data()) + m_afterEnd;
}

} // namespace vistrel
