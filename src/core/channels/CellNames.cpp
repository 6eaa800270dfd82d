#include "core/channels/CellNames.h"

namespace {

bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

std::string ChannelEditorName(int channel, std::string_view heading, bool chinese)
{
    std::string name = chinese ? "信道" : "Channel ";
    name += std::to_string(channel);
    name += chinese ? "，" : ", ";
    name += heading;
    return name;
}

std::string ChannelCellName(int channel, std::string_view heading, std::string_view text, bool chinese)
{
    std::string name = ChannelEditorName(channel, heading, chinese);
    name += chinese ? "：" : ": ";
    if (IsBlank(text))
        name += chinese ? "空" : "empty";
    else
        name += text;
    return name;
}
