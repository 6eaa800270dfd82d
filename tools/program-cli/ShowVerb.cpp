#include "Verbs.h"

#include "core/channels/ChannelTable.h"
#include "core/channels/FeatureListing.h"
#include "core/settings/ProductInfo.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli show FILE.dat [--lang en|zh] [--ini Program.ini]\n"
                               "Print the optional features and the programmed channels of a data file.\n"
                               "The radio type and band indexes are followed by their names from\n"
                               "Program.ini: the one given, else the one beside program-cli or beside the\n"
                               "installed desktop program (without one, only the indexes are shown).\n";

// Columns of a terminal that a UTF-8 text takes: Chinese characters are two
// columns wide.
std::size_t DisplayWidth(const std::string& text)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

std::string Pad(const std::string& text, std::size_t width)
{
    const std::size_t w = DisplayWidth(text);
    return text + std::string(w < width ? width - w : 0, ' ');
}

// "2 (400 - 480MHz)"; the index alone when Program.ini has no name for it.
std::string WithName(int index, const std::string& name)
{
    return std::to_string(index) + (name.empty() ? "" : " (" + name + ")");
}

int RunShow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"--lang", "--ini"}, {}, a, err))
        return UsageError("show", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    bool chinese = false;
    if (!ParseLanguage(a, chinese, err))
        return UsageError("show", "bad language", err);
    if (a.positional.size() != 1)
        return UsageError("show", "expected one data file", err);
    RadioImage image{};
    if (!LoadImage("show", a.positional[0], image, err))
        return kExitFailed;
    CIniFile ini;
    if (!LoadProgramIni("show", a, false, ini, err))
        return kExitFailed;
    const ImageProduct product = ProductOfImage(ini, image);

    std::string text;
    text += std::string(OptionsPageTitle(chinese)) + "\n";
    std::vector<FeatureLine> features = OptionsPageLines(image, chinese);
    features.push_back(
        {chinese ? "对讲机类型序号:" : "Radio Type Index:", WithName(product.typeIndex, product.typeName)});
    features.push_back({chinese ? "频段序号:" : "Band Index:", WithName(product.bandIndex, product.bandText)});
    std::size_t labelWidth = 0;
    for (const auto& line : features)
        labelWidth = std::max(labelWidth, DisplayWidth(line.label));
    for (const auto& line : features)
        text += "  " + Pad(line.label, labelWidth + 2) + line.value + "\n";

    // Both sides of each channel, as for a radio of unknown kind.
    ChannelTable table = NewChannelTable(chinese);
    ImageToTable(image, 0, chinese, table);
    std::array<std::size_t, kTableCols> widths{};
    for (const auto& row : table)
        for (int c = 0; c < kTableCols; ++c)
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], DisplayWidth(row[static_cast<std::size_t>(c)]));

    text += "\n" + std::string(chinese ? "信道" : "Channel") + "\n";
    int listed = 0;
    for (int r = 0; r < kTableRows; ++r) {
        const auto& row = table[static_cast<std::size_t>(r)];
        if (r > 0 && row[1].empty() && row[2].empty())
            continue;
        listed += r > 0;
        std::string line = " ";
        for (int c = 0; c < kTableCols; ++c)
            line += " " + Pad(row[static_cast<std::size_t>(c)], widths[static_cast<std::size_t>(c)]);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    if (listed == 0)
        text += chinese ? "  (没有已编程的信道)\n" : "  (no programmed channels)\n";
    out << text;
    return kExitOk;
}

} // namespace

const Verb kShowVerb = {"show", "print the features and channels of a data file", kUsage, &RunShow};

} // namespace cli
