#pragma once
// The radio's whole configuration: 1024 bytes, addressed by fixed offsets.
// No structure is laid over the image; every field is reached through the
// offsets below so that the grid, the dialogs, the data file and the radio
// link agree on which byte means what.

#include <array>
#include <cstddef>
#include <cstdint>

using RadioImage = std::array<std::uint8_t, 1024>;

namespace ImageMap {

inline constexpr std::size_t kImageSize = 1024;
inline constexpr std::size_t kBlockSize = 16;
inline constexpr std::size_t kBlockCount = kImageSize / kBlockSize; // 64

// Channel n (1..16) occupies 16 bytes at 16 * n.
inline constexpr int kChannelCount = 16;
inline constexpr std::size_t kChannelRecordSize = 16;
inline constexpr std::size_t kFirstChannelOffset = 0x010;
constexpr std::size_t ChannelOffset(int channel)
{
    return kChannelRecordSize * static_cast<std::size_t>(channel);
}

// Offsets inside a channel record.
inline constexpr std::size_t kRecRxFrequency = 0; // 4 BCD bytes, lowest digits first
inline constexpr std::size_t kRecTxFrequency = 4; // 4 BCD bytes
inline constexpr std::size_t kRecDecodeTone = 8;  // tone word, low byte first
inline constexpr std::size_t kRecEncodeTone = 10; // tone word, low byte first
inline constexpr std::size_t kRecBusyLock = 12;   // bits 3-4
inline constexpr std::size_t kRecWidthPower = 13; // bit 4 wide, bit 5 high power

// Optional features live in 0x110-0x17D; only these twelve bytes are ever
// read or written, the rest of the range is carried unchanged.
inline constexpr std::size_t kFeaturesBegin = 0x110;
inline constexpr std::size_t kFeaturesEnd = 0x17D; // inclusive
inline constexpr std::size_t kSideKey = 0x11D;
inline constexpr std::size_t kVoicePrompt = 0x12F;
inline constexpr std::size_t kTimeOutTimer = 0x130;
inline constexpr std::size_t kSquelchLevel = 0x134;
inline constexpr std::size_t kBatterySaver = 0x135;
inline constexpr std::size_t kBeep = 0x136;
inline constexpr std::size_t kVox = 0x139;
inline constexpr std::size_t kVoxGain = 0x13A;
inline constexpr std::size_t kVoxDelay = 0x13B;
inline constexpr std::size_t kTransmitDelayLow = 0x13C;
inline constexpr std::size_t kTransmitDelayHigh = 0x13D;
inline constexpr std::size_t kPriorityChannel = 0x161;
inline constexpr std::array<std::size_t, 12> kFeatureBytes = {
    kSideKey, kVoicePrompt, kTimeOutTimer, kSquelchLevel,     kBatterySaver,      kBeep,
    kVox,     kVoxGain,     kVoxDelay,     kTransmitDelayLow, kTransmitDelayHigh, kPriorityChannel};

// Scan membership: channels 1-8 in 0x17E, 9-16 in 0x17F, bit (n-1) % 8.
inline constexpr std::size_t kScanBitmap = 0x17E;

inline constexpr std::size_t kRadioType = 0x32E;
inline constexpr std::size_t kBandIndex = 0x32F;

// The radio link moves offsets 0x000-0x32F (51 blocks) and nothing else;
// 0x330-0x3FF exist only in the data file.
inline constexpr std::size_t kTransferBegin = 0x000;
inline constexpr std::size_t kTransferEnd = 0x330;                        // exclusive
inline constexpr std::size_t kTransferBlocks = kTransferEnd / kBlockSize; // 51
inline constexpr std::size_t kNewImageMarker = 0x3F1;

} // namespace ImageMap

// A freshly made image: 0xFF everywhere except the fifteen defaults.
RadioImage MakeNewImage();
