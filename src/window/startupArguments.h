#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace vistrel {

// What the command line asks of the first start: a file to open, whether to play
// it at once (/P FILE), and the browser window a VMI request names (/I NUMBER).
// Switches are a slash and one letter, in either case. After "--" every
// argument is a file name, whatever it looks like.
struct TStartupArguments {
    static constexpr const char* AnyBrowserWindow = "0xFFFFFFFF";
    // What "vistrel --help" prints.
    static constexpr const char* Usage =
        "Usage: vistrel [/P] [FILE]\n"
        "       vistrel [Qt options] [/P] -- FILE\n"
        "Edit and play memory card LCD animations (.lcd) and VMS files (.vms).\n"
        "\n"
        "  FILE        the animation to open; with several, the last one\n"
        "  /P FILE     open FILE and play it at once\n"
        "  /I NUMBER   the browser window a .vmi file is asked about\n"
        "  --          the arguments after it are file names, also those that\n"
        "              start with - or /; Qt's own options (-style, -platform, ...)\n"
        "              are read only before it\n"
        "  --help      show this help\n";

    QString FileName;
    bool Play = false;
    bool Help = false; // --help or -h before any "--"
    QString BrowserWindowID = QString::fromLatin1(AnyBrowserWindow);

    // Arguments without the program name, read from first to last.
    static TStartupArguments Parse(const QStringList& arguments);
};

// The program's command line split at its first "--", so that Qt, which takes
// its own options (-style=NAME, -platform NAME, ...) out of the arguments it is
// given, sees only what stands before it: "vistrel -- -style=x.lcd" opens the
// file -style=x.lcd.
class TCommandLine {
public:
    TCommandLine(int argc, char* argv[]);

    // For QApplication, which keeps both and removes its options from them: the
    // arguments before "--" and their count.
    int QtArgc = 0;
    std::vector<char*> QtArgv; // ends with a null pointer, as argv does

    // Once Qt has taken its options: the arguments left before "--", then "--"
    // and every argument after it, without the program name. Names are kept
    // byte for byte, also those that are not UTF-8.
    QStringList Arguments() const;

private:
    QStringList m_afterEnd; // "--" and what follows it, or nothing
};

} // namespace vistrel
