#include "core/channels/PrintLayout.h"

#include "core/channels/FeatureListing.h"

#include <array>

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kChannelsPerPage = 8;
// The rules run from 5u to 60u.
constexpr int kRuleRight = 60;

const char* Pick(bool chinese, const char* english, const char* inChinese)
{
    return chinese ? inChinese : english;
}

void AddText(ListingPage& page, std::string text, int x, int y, FontRole font)
{
    page.texts.push_back({std::move(text), x, y, font});
}

// The title of a page, in the heading font at (6u, -L).
void AddTitle(ListingPage& page, const char* title, const PageUnits& units, const LineHeights& lines)
{
    AddText(page, title, 6 * units.u, -lines.heading, FontRole::Heading);
}

// Label and cell column of the three lines of a channel block: two pairs a
// line, the left pair at 5u and 22u, the right pair at 36u and 55u.
struct BlockLine
{
    const char* english[2];
    const char* chinese[2];
    int columns[2];
};

constexpr std::array<BlockLine, 3> kBlockLines = {{
    {{"Receive Frequency:", "Transceive Frequency:"}, {"接收频率:", "发射频率:"}, {kColRxFrequency, kColTxFrequency}},
    {{"QT/DQT Decode:", "QT/DQT Encode:"}, {"QT/DQT解码:", "QT/DQT编码:"}, {kColDecodeTone, kColEncodeTone}},
    {{"W/N:", "Scan:"}, {"宽/窄:", "扫描:"}, {kColBandwidth, kColScan}},
}};

} // namespace

PageUnits ComputePageUnits(const PrintArea& area)
{
    PageUnits units;
    if (area.dpiX > 0)
        units.W = static_cast<int>(static_cast<std::int64_t>(area.widthPixels) * kTwipsPerInch / area.dpiX);
    if (area.dpiY > 0)
        units.H = static_cast<int>(static_cast<std::int64_t>(area.heightPixels) * kTwipsPerInch / area.dpiY);
    units.u = units.W / 66;
    units.v = units.H / 45;
    return units;
}

FontSize ListingFontSize(const PageUnits& units, FontRole role)
{
    if (role == FontRole::Heading)
        return {units.v, units.u};
    return {units.v * 8 / 10, units.u * 8 / 10};
}

bool IsPrintedChannel(const ChannelTable& texts, int row)
{
    if (row < 1 || row >= kTableRows)
        return false;
    const auto& cells = texts[static_cast<std::size_t>(row)];
    return !cells[kColRxFrequency].empty() || !cells[kColTxFrequency].empty();
}

int CountChannelPages(const ChannelTable& texts, ChannelPageBreaks& breaks)
{
    breaks = ChannelPageBreaks{};
    for (int row = 1; row < kTableRows; ++row) {
        if (!IsPrintedChannel(texts, row))
            continue;
        ++breaks.printedCount;
        if (breaks.printedCount == kChannelsPerPage)
            breaks.breakRow2 = row;
        if (breaks.printedCount == 2 * kChannelsPerPage)
            breaks.breakRow3 = row;
    }
    return (breaks.printedCount + kChannelsPerPage - 1) / kChannelsPerPage;
}

ListingContent ImageListing(const RadioImage& image, int deviceMode, bool chinese, std::string owner)
{
    ChannelTable texts = NewChannelTable(chinese);
    ImageToTable(image, deviceMode, chinese, texts);
    return ListingContent{texts, image, chinese, std::move(owner)};
}

int ListingPageCount(const ListingContent& content)
{
    ChannelPageBreaks breaks;
    return CountChannelPages(content.texts, breaks) + 1;
}

void PrintOptionsPage(const ListingContent& content, const PageUnits& units, const LineHeights& lines,
                      ListingPage& page)
{
    const int l = lines.body;
    AddTitle(page, OptionsPageTitle(content.chinese), units, lines);
    AddText(page, OptionsPageSubtitle(content.chinese), 6 * units.u, -4 * l, FontRole::Body);
    int k = 5;
    for (const FeatureLine& line : OptionsPageLines(content.image, content.chinese)) {
        AddText(page, line.label, 9 * units.u, -k * l, FontRole::Body);
        AddText(page, line.value, 35 * units.u, -k * l, FontRole::Body);
        ++k;
    }
}

void PrintChannelPage(const ListingContent& content, const PageUnits& units, const LineHeights& lines, int pageNumber,
                      ListingPage& page, const TextWidth& width)
{
    ChannelPageBreaks breaks;
    CountChannelPages(content.texts, breaks);
    AddTitle(page, Pick(content.chinese, "Channel", "信道"), units, lines);

    const std::array<int, 3> breakRows = {breaks.breakRow1, breaks.breakRow2, breaks.breakRow3};
    if (pageNumber < 2 || pageNumber > 3)
        return;
    const int first = breakRows[static_cast<std::size_t>(pageNumber - 2)] + 1;
    const int last = breakRows[static_cast<std::size_t>(pageNumber - 1)];
    const int l = lines.body;
    const int u = units.u;
    int g = -1;
    for (int row = first; row <= last; ++row) {
        if (!IsPrintedChannel(content.texts, row))
            continue;
        ++g;
        const int s = (g % kChannelsPerPage) * 5 * l;
        const std::string heading = (content.chinese ? "信道" : "Channel ") + std::to_string(row) + ":";
        AddText(page, heading, 4 * u, -4 * l - s, FontRole::Body);
        const auto& cells = content.texts[static_cast<std::size_t>(row)];
        int y = -5 * l - s;
        for (const BlockLine& line : kBlockLines) {
            const char* const* labels = content.chinese ? line.chinese : line.english;
            const std::string& right = cells[static_cast<std::size_t>(line.columns[1])];
            // The right-hand pair keeps the value inside the rules.
            const int overrun = width && !right.empty() ? 55 * u + width(right, FontRole::Body) - kRuleRight * u : 0;
            const int shift = overrun > 0 ? overrun : 0;
            AddText(page, labels[0], 5 * u, y, FontRole::Body);
            AddText(page, cells[static_cast<std::size_t>(line.columns[0])], 22 * u, y, FontRole::Body);
            AddText(page, labels[1], 36 * u - shift, y, FontRole::Body);
            AddText(page, right, 55 * u - shift, y, FontRole::Body);
            y -= l;
        }
    }
}

ListingPage LayoutListingPage(const ListingContent& content, const PageUnits& units, const LineHeights& lines,
                              int pageNumber, int lastPage, const TextWidth& width)
{
    ListingPage page;
    const int L = lines.heading;
    const int left = 5 * units.u;
    const int right = kRuleRight * units.u;
    page.rules = {{left, right, -2 * L - 50}, {left, right, -2 * L - 120}, {left, right, L / 2 - 36 * L}};

    if (pageNumber == 1)
        PrintOptionsPage(content, units, lines, page);
    else
        PrintChannelPage(content, units, lines, pageNumber, page, width);

    const int footY = -36 * L;
    if (!content.owner.empty())
        AddText(page, content.owner, 10 * units.u, footY, FontRole::Body);
    AddText(page, "Page " + std::to_string(pageNumber) + " of " + std::to_string(lastPage), 45 * units.u, footY,
            FontRole::Body);
    return page;
}
