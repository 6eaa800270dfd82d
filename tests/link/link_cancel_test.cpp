// Cancel through the pump, and the progress of a whole transfer, with the
// engine and the radio on a simulated line in this process.

#include "LinkFixtures.h"

#include "core/link/RadioTransfer.h"

#include <numeric>

using namespace linktest;

namespace {

// Presses Cancel before the given pump step (1 = the first).
class CancellingPump : public TransferPump
{
public:
    explicit CancellingPump(int cancelAt)
        : cancelAt_(cancelAt)
    {}
    bool PumpStep() override { return ++steps == cancelAt_; }
    void SetProgress(int position) override { progress.push_back(position); }
    int steps = 0;
    std::vector<int> progress;

private:
    int cancelAt_;
};

using RadioTransferCancel = SimulatedLineTest;

TEST_P(RadioTransferCancel, EndsAtThePumpStepWhereCancelWasPressed)
{
    constexpr int kNever = 0;
    struct Case
    {
        int cancelAt;
        int blocks; // blocks moved by then
    };
    // Six pump steps before the attempt, then five after each block.
    const Case cases[] = {{1, 0}, {6, 0}, {7, 1}, {22, 4}, {kNever, 51}};
    for (const bool write : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE((write ? "write, cancel at " : "read, cancel at ") + std::to_string(c.cancelAt));
            const RadioImage memory = PatternImage(0x31, 0x32);
            RadioSimulatorOptions radio = Holding(memory);
            radio.model = 0xFF;
            SimulatedLink link(Line(radio));
            SimulatedSerialPort port(link.Radio());
            RecordingPrompter prompter;
            CancellingPump pump(c.cancelAt);
            RadioTransfer transfer(port, prompter, pump);
            RadioImage image = PatternImage(0x77, 0x78);
            const RadioImage before = image;

            const TransferResult result =
                write ? transfer.Write(link.Device(), image) : transfer.Read(link.Device(), image);
            EXPECT_EQ(result.outcome, c.cancelAt == kNever ? TransferOutcome::Completed : TransferOutcome::Cancelled);
            EXPECT_TRUE(prompter.shown.empty());
            EXPECT_FALSE(port.IsOpen());
            EXPECT_EQ(result.blocks, c.blocks);
            std::vector<int> progress(static_cast<std::size_t>(c.blocks));
            std::iota(progress.begin(), progress.end(), 1);
            EXPECT_EQ(pump.progress, progress);
            if (c.cancelAt != kNever) {
                EXPECT_EQ(pump.steps, c.cancelAt);
            }

            RadioImage expected = before;
            if (!write && c.cancelAt == kNever) {
                std::copy(memory.begin(), memory.begin() + ImageMap::kTransferEnd, expected.begin());
                EXPECT_EQ(result.deviceMode, 1);
            }
            EXPECT_EQ(image, expected);

            const auto lines = link.Lines();
            const auto frames = std::count_if(lines.begin(), lines.end(), [write](const std::string& line) {
                return line.rfind(write ? "> 57" : "> 52", 0) == 0;
            });
            EXPECT_EQ(frames, 2 * c.blocks);
            if (c.cancelAt != kNever && c.cancelAt <= 6) {
                EXPECT_TRUE(lines.empty());
            }
        }
    }
}

INSTANTIATE_CABLES(RadioTransferCancel);

} // namespace
