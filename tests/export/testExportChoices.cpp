#include "exportChoices.h"
#include "iniFile.h"

#include <gtest/gtest.h>

using namespace vistrel;

TEST(ExportChoices, ComeBackFromTheirOwnSectionOfTheIniFile) {
    TIniFile ini(QString{});
    ini.FromText("[Main]\nPlayerFPS=10\n");
    TExportChoices choices;
    choices.Format = TExportFormat::PngSheet;
    choices.Scale = 16;
    choices.Colours = LCDColours;
    choices.Columns = 12;
    choices.Folder = "/home/me/exports";
    choices.Rotate180 = true;
    choices.DurationTable = true;
    choices.Save(ini);

    TIniFile reread(QString{});
    reread.FromText(ini.ToText());
    EXPECT_EQ(reread.ReadInteger("Main", "PlayerFPS", 0), 10);
    const TExportChoices loaded = TExportChoices::Load(reread);
    EXPECT_EQ(loaded.Format, TExportFormat::PngSheet);
    EXPECT_EQ(loaded.Scale, 16);
    EXPECT_EQ(loaded.Colours, LCDColours);
    EXPECT_EQ(loaded.Columns, 12);
    EXPECT_EQ(loaded.Folder, "/home/me/exports");
    EXPECT_TRUE(loaded.Rotate180);
    EXPECT_TRUE(loaded.DurationTable);
    // The last format in the list comes back too.
    TIniFile binary(QString{});
    binary.FromText("[ExportAnimation]\nFormat=4\n");
    EXPECT_EQ(TExportChoices::Load(binary).Format, TExportFormat::Binary);
    EXPECT_TRUE(ini.ToText().contains("[ExportAnimation]"));
}

TEST(ExportChoices, BrokenValuesGiveTheDefaults) {
    TIniFile ini(QString{});
    ini.FromText("[ExportAnimation]\nFormat=9\nScale=0\nLitColour=nonsense\nUnlitColour=\n"
                 "Columns=-3\n");
    const TExportChoices loaded = TExportChoices::Load(ini);
    const TExportChoices defaults;
    EXPECT_EQ(loaded.Format, defaults.Format);
    EXPECT_EQ(loaded.Scale, defaults.Scale);
    EXPECT_EQ(loaded.Colours, defaults.Colours);
    EXPECT_EQ(loaded.Columns, defaults.Columns);
    EXPECT_TRUE(loaded.Folder.isEmpty());
}
