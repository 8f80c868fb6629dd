#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace vistrel {

enum class TURLType {
    utFile,
    utFtp,
    utGopher,
    utHttp,
    utHttps,
    utMailto,
    utNews,
    utTelnet,
    utWais
};

// An address the desktop opens in the user's browser or mail program: URL
// without its scheme, URLType giving the scheme. Opening goes through the
// desktop's URL handling, never through a shell.
class TURL {
public:
    using TOpener = std::function<bool(const QUrl&)>;

    QString URL;
    TURLType URLType = TURLType::utHttp;
    // Opens an address; by default the desktop's services. Tests record instead.
    TOpener Opener;

    static QString Prefix(TURLType type);
    // The scheme's prefix and URL; a file of utFile given as an absolute path is
    // encoded as a path, so "#" or "?" in its name stay part of the name.
    QUrl Address() const;
    // False without opening anything when URL is empty or the address is not
    // valid; otherwise what the desktop reports.
    bool Execute() const;
};

} // namespace vistrel
