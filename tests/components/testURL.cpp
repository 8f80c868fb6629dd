#include "URL.h"
#include "formAbout.h"

#include <gtest/gtest.h>

using namespace vistrel;

namespace {

// A URL whose opener records what it was given and answers as told.
struct Recorded {
    TURL url;
    QList<QUrl> opened;
    explicit Recorded(TURLType type, const QString& address, bool answer = true) {
        url.URLType = type;
        url.URL = address;
        url.Opener = [this, answer](const QUrl& u) {
            opened << u;
            return answer;
        };
    }
};

} // namespace

TEST(URL, EachKindPutsItsSchemeInFront) {
    const std::tuple<TURLType, const char*, const char*> cases[] = {
        {TURLType::utHttp, "example.org/guide", "http://example.org/guide"},
        {TURLType::utHttps, "example.org/", "https://example.org/"},
        {TURLType::utMailto, "someone@example.org", "mailto:someone@example.org"},
        {TURLType::utFtp, "ftp.example.org/pub", "ftp://ftp.example.org/pub"},
        {TURLType::utGopher, "example.org", "gopher://example.org"},
        {TURLType::utNews, "comp.lang.c", "news:comp.lang.c"},
        {TURLType::utTelnet, "example.org", "telnet:example.org"},
        {TURLType::utWais, "example.org", "wais:example.org"},
        {TURLType::utFile, "/usr/share/doc/a b#1.html", "file:///usr/share/doc/a%20b%231.html"},
    };
    for (const auto& [type, address, expected] : cases) {
        Recorded r(type, QString::fromUtf8(address));
        EXPECT_TRUE(r.url.Execute()) << address;
        ASSERT_EQ(r.opened.size(), 1) << address;
        EXPECT_EQ(r.opened[0].toString(QUrl::FullyEncoded).toStdString(), expected);
    }
    // A file's name keeps its "#": it is no fragment.
    Recorded file(TURLType::utFile, QStringLiteral("/tmp/guide#1.html"));
    file.url.Execute();
    EXPECT_EQ(file.opened.value(0).toLocalFile(), "/tmp/guide#1.html");
}

TEST(URL, NothingIsOpenedForAnEmptyOrInvalidAddress) {
    for (const auto& [type, address] :
         {std::pair{TURLType::utHttp, ""}, std::pair{TURLType::utHttp, "exa mple.org"},
          std::pair{TURLType::utHttp, "[::1"}, std::pair{TURLType::utMailto, ""}}) {
        Recorded r(type, QString::fromUtf8(address));
        EXPECT_FALSE(r.url.Execute()) << address;
        EXPECT_TRUE(r.opened.isEmpty()) << address;
    }
    // What the desktop reports is the result.
    Recorded refused(TURLType::utHttps, QStringLiteral("example.org"), false);
    EXPECT_FALSE(refused.url.Execute());
    EXPECT_EQ(refused.opened.size(), 1);
}

TEST(AboutBox, TheMemoryLabelCountsWholeKilobytesInSixtyFourBits) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const std::pair<quint64, const char*> cases[] = {
        {64ull << 20, "Total Physical Memory: 65,536KB"},
        // Past 4 GiB a 32-bit count would wrap to 1,048,576.
        {5ull << 30, "Total Physical Memory: 5,242,880KB"},
        {(4ull << 30) + 512, "Total Physical Memory: 4,194,305KB"}, // rounded
        {(4ull << 30) + 511, "Total Physical Memory: 4,194,304KB"},
        {1ull << 50, "Total Physical Memory: 1,099,511,627,776KB"},
        {0, "Total Physical Memory: unknown"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(MemoryLabelText(bytes, english).toStdString(), text) << bytes;
    EXPECT_EQ(MemoryLabelText(64ull << 20, QLocale(QLocale::German)),
              "Total Physical Memory: 65.536KB");
}
