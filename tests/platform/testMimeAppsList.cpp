#include "mimeAppsList.h"

#include <gtest/gtest.h>

using vistrel::TMimeAppsList;

namespace {

const QString Type = QStringLiteral("application/x-vistrel-lcd");
const QString Ours = QStringLiteral("vistrel-lcd.desktop");

} // namespace

TEST(MimeAppsList, SettingADefaultChangesOnlyItsOwnLine) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"", "[Default Applications]\napplication/x-vistrel-lcd=vistrel-lcd.desktop;\n"},
        // Added after the section's last key, before the blank line and the next section.
        {"# mine\n[Default Applications]\ntext/plain=ed.desktop\n\n[Added Associations]\n"
         "application/x-vistrel-lcd=other.desktop;\n",
         "# mine\n[Default Applications]\ntext/plain=ed.desktop\n"
         "application/x-vistrel-lcd=vistrel-lcd.desktop;\n\n[Added Associations]\n"
         "application/x-vistrel-lcd=other.desktop;\n"},
        // A file without the section, and without a final line end.
        {"[Added Associations]\ntext/plain=ed.desktop",
         "[Added Associations]\ntext/plain=ed.desktop\n\n[Default Applications]\n"
         "application/x-vistrel-lcd=vistrel-lcd.desktop;\n"},
        // An empty default is no default; the line keeps its Windows line end.
        {"[Default Applications]\r\napplication/x-vistrel-lcd=\r\ntext/plain=ed.desktop",
         "[Default Applications]\r\napplication/x-vistrel-lcd=vistrel-lcd.desktop;\r\n"
         "text/plain=ed.desktop"},
        // Already ours: not a byte changes, spacing and all.
        {"[Default Applications]\napplication/x-vistrel-lcd = vistrel-lcd.desktop ; b.desktop\n",
         "[Default Applications]\napplication/x-vistrel-lcd = vistrel-lcd.desktop ; b.desktop\n"},
    };
    for (const Case& c : cases) {
        TMimeAppsList list(c.before);
        list.SetDefault(Type, Ours);
        EXPECT_EQ(list.Bytes(), QByteArray(c.after)) << c.before;
        EXPECT_EQ(list.Defaults(Type).value(0), Ours) << c.before;
    }
}

TEST(MimeAppsList, OnlyTheDefaultApplicationsSectionCounts) {
    const TMimeAppsList list("[Added Associations]\napplication/x-vistrel-lcd=a.desktop;\n"
                             "[Default Applications]\n#application/x-vistrel-lcd=c.desktop\n"
                             "application/x-vistrel-lcd=b.desktop;vistrel-lcd.desktop;\n");
    EXPECT_EQ(list.Defaults(Type), QStringList({"b.desktop", "vistrel-lcd.desktop"}));
    EXPECT_TRUE(TMimeAppsList("[Default Applications]\n").Defaults(Type).isEmpty());
}

TEST(MimeAppsList, RemovingOurDefaultKeepsTheUsersOtherChoices) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"[Default Applications]\napplication/x-vistrel-lcd=vistrel-lcd.desktop;\ntext/plain=e\n",
         "[Default Applications]\ntext/plain=e\n"},
        {"[Default Applications]\r\napplication/x-vistrel-lcd=vistrel-lcd.desktop;b.desktop\r\n",
         "[Default Applications]\r\napplication/x-vistrel-lcd=b.desktop;\r\n"},
        // Not named: untouched.
        {"[Default Applications]\napplication/x-vistrel-lcd=b.desktop\n",
         "[Default Applications]\napplication/x-vistrel-lcd=b.desktop\n"},
    };
    for (const Case& c : cases) {
        TMimeAppsList list(c.before);
        list.RemoveDefault(Type, Ours);
        EXPECT_EQ(list.Bytes(), QByteArray(c.after)) << c.before;
    }
}
