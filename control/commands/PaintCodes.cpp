#include "control/commands/PaintCodes.h"

#include <array>

namespace {

constexpr int Unmapped = -1;
constexpr int GroupCount = 12;
constexpr int ChannelCount = 4;

// Rows are groups 0 to 11, columns channels 0 to 3.
constexpr std::array<std::array<int, ChannelCount>, GroupCount> Codes{{
    {20, 20, 20, 20},       // SDI output selection
    {9, 10, 11, Unmapped},  // gain red, green, blue
    {3, 4, 5, 2},           // pedestal red, green, blue, all
    {22, 23, 24, Unmapped}, // flare red, green, blue
    {21, 21, 21, 21},       // flare on/off
    {14, 15, 16, Unmapped}, // detail
    {13, 13, 13, 13},       // misc value 0
    {12, 12, 12, 12},       // misc value 1
    {0, 0, 0, 0},           // misc value 3
    {1, 1, 1, 1},           // misc value 4
    {17, 18, 19, Unmapped}, // lens focus, iris, zoom
    {25, 25, 25, 25},       // misc value 2
}};

} // namespace

std::optional<quint8> paintCode(int group, int channel)
{
    if (group < 0 || group >= GroupCount)
        return std::nullopt;
    const auto& row = Codes[size_t(group)];
    // A group with one code for every channel takes any channel.
    const bool channelFree = row[0] == row[1] && row[1] == row[2] && row[2] == row[3];
    if (!channelFree && (channel < 0 || channel >= ChannelCount))
        return std::nullopt;
    const int code = row[size_t(channelFree ? 0 : channel)];
    if (code == Unmapped)
        return std::nullopt;
    return quint8(code);
}
