#pragma once

#include <QString>
#include <QStringList>

namespace vistrel {

// What the command line asks of the first start: a file to open, whether to play
// it at once (/P FILE), and the browser window a VMI request names (/I NUMBER).
// Switches are a slash and one letter, in either case.
struct TStartupArguments {
    static constexpr const char* AnyBrowserWindow = "0xFFFFFFFF";

    QString FileName;
    bool Play = false;
    QString BrowserWindowID = QString::fromLatin1(AnyBrowserWindow);

    // Arguments without the program name, read from first to last.
    static TStartupArguments Parse(const QStringList& arguments);
};

} // namespace vistrel
