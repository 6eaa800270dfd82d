// Any bytes as what a radio answers on the line, for a read, a write and a
// probe. The engine must never read out of bounds or hang; a read changes
// the image only when it completes, and then only offsets 0x000-0x32F; a
// write sends the radio exactly the image's bytes, at their own addresses,
// in order, whatever the radio answers.
//
// Input: byte 0 chooses the transfer (bits 0-1: read, write, probe) and
// whether the line hangs up once the answers run out (bit 2). The rest is
// the answer stream. Each read of the port takes one control byte: its
// value modulo (asked + 1) is how many answer bytes arrive; the rest of
// that read times out. An exhausted stream times out (or hangs up).
#include "core/link/RadioTransfer.h"
#include "core/link/Timing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class AnswerPort : public SerialPort
{
public:
    AnswerPort(const std::uint8_t* data, std::size_t size, bool hangUpAtEnd)
        : data_(data)
        , size_(size)
        , hangUpAtEnd_(hangUpAtEnd)
    {}

    std::error_code Open(const std::string&) override
    {
        open_ = true;
        return {};
    }
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    bool Configure(const SerialSettings&) override { return true; }
    void Purge(unsigned) override {}
    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        if (!open_)
            std::abort(); // the engine writes only to the port it opened
        if (hungUp_)
            return false;
        written.emplace_back(data, data + size);
        return true;
    }
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override
    {
        received = 0;
        if (!open_)
            std::abort();
        if (hungUp_)
            return false;
        if (position_ >= size_) {
            hungUp_ = hangUpAtEnd_;
            return !hungUp_;
        }
        const std::size_t wanted = data_[position_++] % (size + 1);
        received = std::min(wanted, size_ - position_);
        std::memcpy(data, data_ + position_, received);
        position_ += received;
        return true;
    }
    bool HungUp() const override { return hungUp_; }

    std::vector<std::vector<std::uint8_t>> written;

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    bool hangUpAtEnd_;
    bool open_ = false;
    bool hungUp_ = false;
};

// Retry is pressed a few times, then Cancel, so that every run ends.
class Prompter : public TransferPrompter
{
public:
    void ShowMessage(TransferMessage) override {}
    bool AskRetry(TransferMessage) override { return ++retries_ <= 3; }

private:
    int retries_ = 0;
};

class Pump : public TransferPump
{
public:
    bool PumpStep() override { return false; }
};

RadioImage PatternImage()
{
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return image;
}

// The data frames of a write: each 8-byte write follows a 4-byte "W" header
// and carries the image's bytes at the header's address; the addresses run
// 0x000, 0x008, ... without a gap or a repeat.
void CheckWrittenFrames(const std::vector<std::vector<std::uint8_t>>& written, const RadioImage& image,
                        const TransferResult& result)
{
    std::size_t next = 0;
    int frames = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const auto& chunk = written[i];
        if (chunk.size() != 4 || chunk[0] != 'W')
            continue;
        const std::size_t address = static_cast<std::size_t>(chunk[1] << 8 | chunk[2]);
        if (address != next || chunk[3] != 8 || address + 8 > ImageMap::kTransferEnd)
            std::abort();
        if (i + 1 >= written.size() || written[i + 1].size() != 8 ||
            !std::equal(written[i + 1].begin(), written[i + 1].end(), image.begin() + address))
            std::abort();
        next += 8;
        ++frames;
    }
    // A frame counts as moved once the radio acknowledged it; the last
    // frame sent may have gone unacknowledged.
    if (result.frames != frames && result.frames != frames - 1)
        std::abort();
    if (result.outcome == TransferOutcome::Completed && (frames != kTransferFrames || result.frames != frames))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const SimulatedWaits noWaits([](std::chrono::milliseconds) {});
    const int transfer = data[0] & 3;
    AnswerPort port(data + 1, size - 1, (data[0] & 4) != 0);
    Prompter prompter;
    Pump pump;
    RadioTransfer engine(port, prompter, pump);
    const RadioImage before = PatternImage();
    TransferResult result;
    if (transfer == 1) {
        result = engine.Write("fuzz", before);
        CheckWrittenFrames(port.written, before, result);
    } else if (transfer == 2) {
        result = engine.Probe("fuzz");
    } else {
        RadioImage image = before;
        result = engine.Read("fuzz", image);
        if (result.outcome != TransferOutcome::Completed && image != before)
            std::abort();
        if (result.outcome == TransferOutcome::Completed &&
            (result.frames != kTransferFrames ||
             !std::equal(image.begin() + ImageMap::kTransferEnd, image.end(), before.begin() + ImageMap::kTransferEnd)))
            std::abort();
        // No radio frame is ever asked for outside the transferred range.
        for (const auto& chunk : port.written)
            if (chunk.size() == 4 && chunk[0] == 'R' && (chunk[1] << 8 | chunk[2]) + 8 > int(ImageMap::kTransferEnd))
                std::abort();
    }
    if (port.IsOpen() || result.identity.size() > 5 || result.deviceMode > 2)
        std::abort();
    return 0;
}
