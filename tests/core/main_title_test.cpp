// The main window's title: the radio type and band the image's bytes
// choose from the configured lists, and the title composed from them.

#include <gtest/gtest.h>

#include "core/document/MainTitle.h"

#include <filesystem>
#include <fstream>

namespace {

void Configure(CIniFile& ini)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "main_title_test.ini";
    std::ofstream(path) << "[Setup]\nType1=QM-350\nType2=QM-350S\nField1=136 - 174MHz|400 - 470MHz\n"
                           "Field2=350 - 390MHz\n";
    ASSERT_TRUE(ini.Load(path.string(), false, true));
    std::filesystem::remove(path);
}

} // namespace

TEST(MainTitle, ProductTextsOfTheImageBytes)
{
    struct Case
    {
        int type;
        int band;
        const char* typeName;
        const char* bandText;
    };
    const Case cases[] = {
        {0, 0, "QM-350", "136 - 174MHz"},
        {0, 1, "QM-350", "400 - 470MHz"},
        {0, 7, "QM-350", "400 - 470MHz"}, // past the list: its last entry
        {1, 0, "QM-350S", "350 - 390MHz"},
        {2, 0, "", ""}, // a type the configuration does not list
        {0xFF, 0xFF, "", ""},
    };
    CIniFile ini;
    Configure(ini);
    for (const Case& c : cases) {
        RadioImage image = MakeNewImage();
        image[ImageMap::kRadioType] = static_cast<std::uint8_t>(c.type);
        image[ImageMap::kBandIndex] = static_cast<std::uint8_t>(c.band);
        const ProductTexts texts = ProductTextsOfImage(ini, image);
        EXPECT_EQ(texts.typeName, c.typeName) << c.type << "/" << c.band;
        EXPECT_EQ(texts.bandText, c.bandText) << c.type << "/" << c.band;
    }
}

TEST(MainTitle, Composition)
{
    struct Case
    {
        const char* app;
        const char* type;
        const char* band;
        bool chinese;
        const char* title;
    };
    const Case cases[] = {
        {"QM-350 Programmer", "QM-350", "136 - 174MHz", false, "QM-350 Programmer  [ Type:QM-350  Fre:136 - 174MHz ]"},
        {"QM-350 写频软件", "QM-350", "400 - 470MHz", true, "QM-350 写频软件  [ 类型:QM-350  频率:400 - 470MHz ]"},
        {"", "", "", false, "  [ Type:  Fre: ]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MainWindowTitle(c.app, c.type, c.band, c.chinese), c.title);
}
