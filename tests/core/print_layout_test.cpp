#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/channels/ChannelCodec.h"
#include "core/channels/PrintLayout.h"

namespace {

// A4 portrait at 600 dpi less a small margin: W = 11520, H = 15840 twips,
// so u = 174 and v = 352.
constexpr PrintArea kArea{4800, 6600, 600, 600};
constexpr LineHeights kLines{400, 320};

// A grid whose listed rows hold a frequency on both sides and every other
// setting; rows not listed keep only their tone cells, as an empty channel
// with a stored tone does.
ChannelTable Grid(const std::vector<int>& rows)
{
    ChannelTable table = NewChannelTable(false);
    for (int r = 1; r < kTableRows; ++r)
        table[static_cast<std::size_t>(r)][kColEncodeTone] = "67.0";
    for (int r : rows) {
        auto& row = table[static_cast<std::size_t>(r)];
        row[kColRxFrequency] = "146.52500";
        row[kColTxFrequency] = "146.02500";
        row[kColDecodeTone] = "D023N";
        row[kColBandwidth] = "Wide";
        row[kColScan] = "Yes";
        row[kColBusyLock] = "Carrier";
        row[kColPower] = "High";
    }
    return table;
}

ListingContent Content(const ChannelTable& texts)
{
    ListingContent content;
    content.texts = texts;
    content.image.fill(0);
    content.owner = "Owner Ltd";
    return content;
}

ListingPage Page(const ListingContent& content, int page)
{
    return LayoutListingPage(content, ComputePageUnits(kArea), kLines, page, ListingPageCount(content));
}

// The channel headings of a page in the order of their blocks, with the
// block each one starts.
std::vector<std::pair<std::string, int>> Headings(const ListingPage& page)
{
    std::vector<std::pair<std::string, int>> found;
    for (const TextRun& run : page.texts)
        if (run.text.rfind("Channel ", 0) == 0)
            found.emplace_back(run.text, (-run.y - 4 * kLines.body) / (5 * kLines.body));
    return found;
}

const TextRun* Find(const ListingPage& page, const std::string& text)
{
    for (const TextRun& run : page.texts)
        if (run.text == text)
            return &run;
    return nullptr;
}

using HeadingList = std::vector<std::pair<std::string, int>>;

} // namespace

TEST(PrintLayout, PagesAndChannelBlocksFollowTheProgrammedRows)
{
    struct Case
    {
        const char* what;
        std::vector<int> rows;
        int pages;
        HeadingList page2;
        HeadingList page3;
    };
    const Case cases[] = {
        {"no channel", {}, 1, {}, {}},
        {"channels 1-8",
         {1, 2, 3, 4, 5, 6, 7, 8},
         2,
         {{"Channel 1:", 0},
          {"Channel 2:", 1},
          {"Channel 3:", 2},
          {"Channel 4:", 3},
          {"Channel 5:", 4},
          {"Channel 6:", 5},
          {"Channel 7:", 6},
          {"Channel 8:", 7}},
         {}},
        {"channels 1-9",
         {1, 2, 3, 4, 5, 6, 7, 8, 9},
         3,
         {{"Channel 1:", 0},
          {"Channel 2:", 1},
          {"Channel 3:", 2},
          {"Channel 4:", 3},
          {"Channel 5:", 4},
          {"Channel 6:", 5},
          {"Channel 7:", 6},
          {"Channel 8:", 7}},
         {{"Channel 9:", 0}}},
        {"channels 3, 5, 12", {3, 5, 12}, 2, {{"Channel 3:", 0}, {"Channel 5:", 1}, {"Channel 12:", 2}}, {}},
        {"all sixteen, the eighth break after row 8",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         3,
         {{"Channel 1:", 0},
          {"Channel 2:", 1},
          {"Channel 3:", 2},
          {"Channel 4:", 3},
          {"Channel 5:", 4},
          {"Channel 6:", 5},
          {"Channel 7:", 6},
          {"Channel 8:", 7}},
         {{"Channel 9:", 0},
          {"Channel 10:", 1},
          {"Channel 11:", 2},
          {"Channel 12:", 3},
          {"Channel 13:", 4},
          {"Channel 14:", 5},
          {"Channel 15:", 6},
          {"Channel 16:", 7}}},
        {"the eighth channel on row 14",
         {2, 4, 6, 8, 10, 11, 12, 14, 16},
         3,
         {{"Channel 2:", 0},
          {"Channel 4:", 1},
          {"Channel 6:", 2},
          {"Channel 8:", 3},
          {"Channel 10:", 4},
          {"Channel 11:", 5},
          {"Channel 12:", 6},
          {"Channel 14:", 7}},
         {{"Channel 16:", 0}}},
    };
    for (const Case& c : cases) {
        const ListingContent content = Content(Grid(c.rows));
        EXPECT_EQ(ListingPageCount(content), c.pages) << c.what;
        const std::string foot = "Page 1 of " + std::to_string(c.pages);
        EXPECT_NE(Find(Page(content, 1), foot), nullptr) << c.what;
        if (c.pages >= 2) {
            EXPECT_EQ(Headings(Page(content, 2)), c.page2) << c.what;
        }
        if (c.pages >= 3) {
            EXPECT_EQ(Headings(Page(content, 3)), c.page3) << c.what;
        }
    }
}

TEST(PrintLayout, EitherFrequencyListsAChannelInEveryMode)
{
    // In the image: channel 2 receives only, channel 3 transmits only,
    // channel 4 does both, channel 5 has neither but a tone. The listing of
    // a device mode lists what that mode's grid shows, by the same rule the
    // window and the command line share.
    RadioImage image = MakeNewImage();
    EncodeFrequency(image, 2, FrequencySide::Receive, "145.00000");
    EncodeFrequency(image, 3, FrequencySide::Transmit, "150.00000");
    EncodeFrequency(image, 4, FrequencySide::Receive, "146.52000");
    EncodeFrequency(image, 4, FrequencySide::Transmit, "146.52000");
    EncodeTone(image, 5, ToneSide::Encode, "67.0");
    struct Case
    {
        int mode;
        HeadingList page2;
    };
    const Case cases[] = {
        {0, {{"Channel 2:", 0}, {"Channel 3:", 1}, {"Channel 4:", 2}}},
        {1, {{"Channel 2:", 0}, {"Channel 4:", 1}}},
        {2, {{"Channel 3:", 0}, {"Channel 4:", 1}}},
    };
    for (const Case& c : cases) {
        const ListingContent content = ImageListing(image, c.mode, false, "Owner Ltd");
        ASSERT_EQ(ListingPageCount(content), 2) << "mode " << c.mode;
        EXPECT_EQ(Headings(Page(content, 2)), c.page2) << "mode " << c.mode;
    }

    // On texts alone: a row with only an Rx or only a Tx cell is listed, a
    // row with every other cell but no frequency is not.
    ChannelTable texts = Grid({});
    texts[2][kColRxFrequency] = "145.00000";
    texts[3][kColTxFrequency] = "150.00000";
    for (int c : {kColDecodeTone, kColBandwidth, kColScan, kColBusyLock, kColPower})
        texts[4][static_cast<std::size_t>(c)] = "x";
    EXPECT_EQ(Headings(Page(Content(texts), 2)), (HeadingList{{"Channel 2:", 0}, {"Channel 3:", 1}}));
}

TEST(PrintLayout, UnitsAndFontsFollowThePrintableArea)
{
    const PageUnits units = ComputePageUnits(kArea);
    EXPECT_EQ(units.W, 11520);
    EXPECT_EQ(units.H, 15840);
    EXPECT_EQ(units.u, 174);
    EXPECT_EQ(units.v, 352);
    // Integer arithmetic, division last: 4961 px at 600 dpi is 11906.4 twips.
    EXPECT_EQ(ComputePageUnits({4961, 7016, 600, 600}).W, 11906);
    EXPECT_EQ(ComputePageUnits({4961, 7016, 0, 0}).W, 0);

    const FontSize heading = ListingFontSize(units, FontRole::Heading);
    const FontSize body = ListingFontSize(units, FontRole::Body);
    EXPECT_EQ(heading.height, 352);
    EXPECT_EQ(heading.averageWidth, 174);
    EXPECT_EQ(body.height, 281);       // 281.6 truncated
    EXPECT_EQ(body.averageWidth, 139); // 139.2 truncated
}

TEST(PrintLayout, OptionsPagePlacesTitleRulesLabelsAndFoot)
{
    ListingContent content = Content(Grid({1}));
    content.image[ImageMap::kTimeOutTimer] = 4;
    const ListingPage page = Page(content, 1);
    const int u = 174, L = kLines.heading, l = kLines.body;

    ASSERT_EQ(page.rules.size(), 3u);
    EXPECT_EQ(page.rules[0].y, -2 * L - 50);
    EXPECT_EQ(page.rules[1].y, -2 * L - 120);
    EXPECT_EQ(page.rules[2].y, L / 2 - 36 * L);
    for (const Rule& rule : page.rules) {
        EXPECT_EQ(rule.x1, 5 * u);
        EXPECT_EQ(rule.x2, 60 * u);
    }

    struct Expected
    {
        const char* text;
        int x;
        int y;
        FontRole font;
    };
    const Expected expected[] = {
        {"Option", 6 * u, -L, FontRole::Heading},          {"Function", 6 * u, -4 * l, FontRole::Body},
        {"Time Out Time:", 9 * u, -5 * l, FontRole::Body}, {"60s", 35 * u, -5 * l, FontRole::Body},
        {"Beep:", 9 * u, -11 * l, FontRole::Body},         {"Owner Ltd", 10 * u, -36 * L, FontRole::Body},
        {"Page 1 of 2", 45 * u, -36 * L, FontRole::Body},
    };
    for (const Expected& e : expected) {
        const TextRun* run = Find(page, e.text);
        ASSERT_NE(run, nullptr) << e.text;
        EXPECT_EQ(run->x, e.x) << e.text;
        EXPECT_EQ(run->y, e.y) << e.text;
        EXPECT_EQ(run->font, e.font) << e.text;
    }
    // Seven feature lines of label and value, the title, subtitle and foot.
    EXPECT_EQ(page.texts.size(), 2u + 14u + 2u);
}

TEST(PrintLayout, ChannelBlockPlacesLabelsAndCellsOnThreeLines)
{
    ChannelTable texts = Grid({3, 5});
    texts[5][kColScan] = "No";
    const ListingPage page = Page(Content(texts), 2);
    const int u = 174, l = kLines.body, s = 5 * l; // channel 5 is the second block

    struct Expected
    {
        const char* text;
        int x;
        int y;
    };
    const Expected expected[] = {
        {"Channel", 6 * u, -kLines.heading},
        {"Channel 5:", 4 * u, -4 * l - s},
        {"Receive Frequency:", 5 * u, -5 * l - s},
        {"Transceive Frequency:", 36 * u, -5 * l - s},
        {"QT/DQT Encode:", 36 * u, -6 * l - s},
        {"W/N:", 5 * u, -7 * l - s},
        {"No", 55 * u, -7 * l - s},
        {"Page 2 of 2", 45 * u, -36 * kLines.heading},
    };
    for (const Expected& e : expected) {
        // The last run with the text: the labels repeat in every block.
        const TextRun* run = nullptr;
        for (const TextRun& r : page.texts)
            if (r.text == e.text)
                run = &r;
        ASSERT_NE(run, nullptr) << e.text;
        EXPECT_EQ(run->x, e.x) << e.text;
        EXPECT_EQ(run->y, e.y) << e.text;
    }
    // Busy lock and power are not printed.
    EXPECT_EQ(Find(page, "Carrier"), nullptr);
    EXPECT_EQ(Find(page, "High"), nullptr);
}

TEST(PrintLayout, ARightHandValueStaysInsideTheRules)
{
    // Channel 1's Tx Frequency is nine characters; the width function gives
    // each character perChar twips. u = 174, so the rules end at 10440.
    const int u = 174, ruleRight = 60 * u;
    struct Case
    {
        const char* what;
        int perChar; // 0: no width function
        int labelX;
        int valueX;
    };
    const Case cases[] = {
        {"no widths: the places of the layout", 0, 36 * u, 55 * u},
        {"a value that fits keeps its place", 96, 36 * u, 55 * u}, // 864 of the 870 twips to the rule
        {"a wider value ends at the rule, its label moves with it", 150, 36 * u - (55 * u + 1350 - ruleRight),
         ruleRight - 1350},
    };
    const ListingContent content = Content(Grid({1}));
    for (const Case& c : cases) {
        TextWidth width;
        if (c.perChar > 0)
            width = [&c](const std::string& text, FontRole) { return static_cast<int>(text.size()) * c.perChar; };
        const ListingPage page = LayoutListingPage(content, ComputePageUnits(kArea), kLines, 2, 2, width);
        const TextRun* label = Find(page, "Transceive Frequency:");
        ASSERT_NE(label, nullptr) << c.what;
        EXPECT_EQ(label->x, c.labelX) << c.what;
        // The Tx value follows its label; the Rx value at 22u never moves.
        const TextRun* value = label + 1;
        EXPECT_EQ(value->text, "146.02500") << c.what;
        EXPECT_EQ(value->x, c.valueX) << c.what;
        EXPECT_EQ(Find(page, "146.52500")->x, 22 * u) << c.what;
        if (c.perChar > 0) {
            EXPECT_LE(value->x + 9 * c.perChar, ruleRight) << c.what;
        }
    }
}
