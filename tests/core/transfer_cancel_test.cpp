// Where a transfer stops when a cancel arrives on its own (a console's
// Ctrl+C): between the two 8-byte frames of a block, not only after it. The
// radio is a scripted in-memory line, so every byte is seen.

#include "core/link/RadioTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <vector>

namespace {

// A radio that answers every step of the protocol at once: the wake-up, the
// identity (a model 0xFF radio), the acknowledgement and each frame. It
// records the frame commands it was sent and keeps the bytes written to it.
class ScriptedRadio : public SerialPort
{
public:
    std::error_code Open(const std::string&) override
    {
        open_ = true;
        return {};
    }
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    bool Configure(const SerialSettings&) override { return true; }
    // The answers are queued as each request is written, the moment a real
    // radio would only start sending them: a purge never finds one yet.
    void Purge(unsigned) override {}
    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        pending_.insert(pending_.end(), data, data + size);
        Answer();
        return open_;
    }
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override
    {
        received = 0;
        while (received < size && !replies_.empty()) {
            data[received++] = replies_.front();
            replies_.pop_front();
        }
        return open_;
    }

    std::vector<char> commands; // 'R' or 'W' for each frame asked for
    std::array<std::uint8_t, 1024> memory{};
    std::function<void()> onFrame; // after each frame command has been answered

private:
    enum class Stage { WakeUp, Identity, Acknowledge, Frames };

    void Reply(std::initializer_list<std::uint8_t> bytes) { replies_.insert(replies_.end(), bytes); }

    void Answer()
    {
        switch (stage_) {
        case Stage::WakeUp:
            if (pending_.size() == 8) {
                Reply({0x06});
                pending_.clear();
                stage_ = Stage::Identity;
            }
            return;
        case Stage::Identity:
            Reply({'P', '3', '2', '0', '7', 0x00, 0x00, 0xFF});
            pending_.clear();
            stage_ = Stage::Acknowledge;
            return;
        case Stage::Acknowledge:
            Reply({0x06});
            pending_.clear();
            stage_ = Stage::Frames;
            return;
        case Stage::Frames: Frame(); return;
        }
    }

    void Frame()
    {
        if (pending_.size() == 1 && pending_[0] == 0x06) { // a read frame's acknowledgement
            pending_.clear();
            Reply({0x06});
            if (onFrame)
                onFrame();
            return;
        }
        if (pending_.size() < 4)
            return;
        const std::size_t address = static_cast<std::size_t>(pending_[1]) << 8 | pending_[2];
        if (pending_[0] == 'R') {
            commands.push_back('R');
            Reply({'W', pending_[1], pending_[2], 8});
            replies_.insert(replies_.end(), memory.begin() + static_cast<long>(address),
                            memory.begin() + static_cast<long>(address + 8));
            pending_.clear();
        } else if (pending_[0] == 'W' && pending_.size() == 12) {
            commands.push_back('W');
            std::copy(pending_.begin() + 4, pending_.end(), memory.begin() + static_cast<long>(address));
            pending_.clear();
            Reply({0x06});
            if (onFrame)
                onFrame();
        }
    }

    bool open_ = false;
    Stage stage_ = Stage::WakeUp;
    std::vector<std::uint8_t> pending_;
    std::deque<std::uint8_t> replies_;
};

class SilentPrompter : public TransferPrompter
{
public:
    void ShowMessage(TransferMessage) override { ++shown; }
    bool AskRetry(TransferMessage) override
    {
        ++shown;
        return false;
    }
    int shown = 0;
};

// Never cancels through events; Interrupted() turns true once set.
class ConsolePump : public TransferPump
{
public:
    bool PumpStep() override { return false; }
    bool Interrupted() override
    {
        ++asked;
        return interrupted;
    }
    void SetProgress(int position) override { progress.push_back(position); }
    bool interrupted = false;
    int asked = 0;
    std::vector<int> progress;
};

// The frame within the transfer (from 1) after which the cancel arrives:
// always the first half of a block, so the second half must not follow.
const int kCancelAfterFrame[] = {1, 3, 51, 101};

TEST(TransferCancel, ReadStopsBetweenTheHalvesOfABlockAndKeepsTheImage)
{
    for (const int cancelAfter : kCancelAfterFrame) {
        SCOPED_TRACE(cancelAfter);
        ScriptedRadio radio;
        for (std::size_t i = 0; i < radio.memory.size(); ++i)
            radio.memory[i] = static_cast<std::uint8_t>(i * 7);
        SilentPrompter prompter;
        ConsolePump pump;
        int frames = 0;
        radio.onFrame = [&] { pump.interrupted = ++frames >= cancelAfter; };
        RadioImage image = MakeNewImage();
        const RadioImage before = image;
        const TransferResult result = RadioTransfer(radio, prompter, pump).Read("scripted", image);
        EXPECT_EQ(result.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(result.frames, cancelAfter);
        EXPECT_EQ(result.blocks, cancelAfter / 2);
        EXPECT_EQ(radio.commands.size(), static_cast<std::size_t>(cancelAfter));
        EXPECT_EQ(prompter.shown, 0);
        EXPECT_EQ(image, before);
        EXPECT_FALSE(radio.IsOpen());
    }
}

TEST(TransferCancel, WriteStopsBetweenTheHalvesOfABlockAsAPartialWrite)
{
    for (const int cancelAfter : kCancelAfterFrame) {
        SCOPED_TRACE(cancelAfter);
        ScriptedRadio radio;
        SilentPrompter prompter;
        ConsolePump pump;
        int frames = 0;
        radio.onFrame = [&] { pump.interrupted = ++frames >= cancelAfter; };
        RadioImage image = MakeNewImage();
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = static_cast<std::uint8_t>(i * 3 + 1);
        const TransferResult result = RadioTransfer(radio, prompter, pump).Write("scripted", image);
        EXPECT_EQ(result.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(result.frames, cancelAfter);
        EXPECT_TRUE(IsPartialWrite(result));
        ASSERT_EQ(radio.commands.size(), static_cast<std::size_t>(cancelAfter));
        const auto written = static_cast<long>(cancelAfter * 8);
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + written, radio.memory.begin()));
        EXPECT_TRUE(
            std::all_of(radio.memory.begin() + written, radio.memory.end(), [](std::uint8_t b) { return b == 0; }));
        EXPECT_EQ(prompter.shown, 0);
    }
}

// Without a cancel every block is asked once, between its halves, progress
// goes 1 to 51, and the whole of 0x000-0x32F moves each way.
TEST(TransferCancel, WithoutACancelEveryFrameMovesWithProgressAfterEachBlock)
{
    for (const bool writing : {false, true}) {
        SCOPED_TRACE(writing ? "write" : "read");
        ScriptedRadio radio;
        for (std::size_t i = 0; i < radio.memory.size(); ++i)
            radio.memory[i] = static_cast<std::uint8_t>(i * 7 + 5);
        SilentPrompter prompter;
        ConsolePump pump;
        RadioImage image = MakeNewImage();
        const RadioImage before = image;
        const auto radioBefore = radio.memory;
        RadioTransfer transfer(radio, prompter, pump);
        const TransferResult result = writing ? transfer.Write("scripted", image) : transfer.Read("scripted", image);
        EXPECT_EQ(result.outcome, TransferOutcome::Completed);
        EXPECT_EQ(result.frames, kTransferFrames);
        EXPECT_EQ(result.blocks, kTransferFrames / 2);
        EXPECT_FALSE(IsPartialWrite(result));
        EXPECT_EQ(pump.asked, kTransferFrames / 2);
        EXPECT_EQ(radio.commands, std::vector<char>(kTransferFrames, writing ? 'W' : 'R'));
        std::vector<int> expectedProgress(kTransferFrames / 2);
        for (std::size_t i = 0; i < expectedProgress.size(); ++i)
            expectedProgress[i] = static_cast<int>(i) + 1;
        EXPECT_EQ(pump.progress, expectedProgress);
        // Both sides hold the same 0x000-0x32F; beyond it neither changed.
        const auto end = static_cast<long>(ImageMap::kTransferEnd);
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + end, radio.memory.begin()));
        EXPECT_TRUE(std::equal(image.begin() + end, image.end(), before.begin() + end));
        EXPECT_TRUE(std::equal(radio.memory.begin() + end, radio.memory.end(), radioBefore.begin() + end));
    }
}

} // namespace
