#include "URL.h"

#include <QDesktopServices>
#include <QDir>

namespace vistrel {

QString TURL::Prefix(TURLType type) {
    switch (type) {
    case TURLType::utFile:
        return QStringLiteral("file://");
    case TURLType::utFtp:
        return QStringLiteral("ftp://");
    case TURLType::utGopher:
        return QStringLiteral("gopher://");
    case TURLType::utHttp:
        return QStringLiteral("http://");
    case TURLType::utHttps:
        return QStringLiteral("https://");
    case TURLType::utMailto:
        return QStringLiteral("mailto:");
    case TURLType::utNews:
        return QStringLiteral("news:");
    case TURLType::utTelnet:
        return QStringLiteral("telnet:");
    case TURLType::utWais:
        return QStringLiteral("wais:");
    }
    return {};
}

QUrl TURL::Address() const {
    if (URLType == TURLType::utFile && QDir::isAbsolutePath(URL))
        return QUrl::fromLocalFile(URL);
    return QUrl(Prefix(URLType) + URL, QUrl::StrictMode);
}

bool TURL::Execute() const {
    if (URL.isEmpty())
        return false;
    const QUrl address = Address();
    if (!address.isValid())
        return false;
    return Opener ? Opener(address) : QDesktopServices::openUrl(address);
}

} // namespace vistrel
