// The wake-up handshake: early and late answers, silent radios, Retry.

#include "LinkHarness.h"

#include "core/link/SystemSerialPort.h"
#include "core/link/RadioTransfer.h"

using namespace linktest;

namespace {

constexpr const char* kCommunicationError =
    "Communication Error,Please check all the connections and the radio power";

TEST(RadioHandshake, AnEarlyAnswerCountsOnlyAfterAnAttemptThatReadTheLateOne)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> simOptions;
        int retries;
        int status;
        std::size_t prompts;     // communication errors shown
        std::size_t identities;  // identity replies on the line
    };
    const Case cases[] = {
        {"early radio, refused on every attempt", {"--answer", "early"}, 2, 1, 3, 3},
        {"early radio, accepted after a silent attempt", {"--answer", "early", "--silent-attempts", "1"}, 1, 0, 1, 1},
        {"late radio after two silent attempts", {"--silent-attempts", "2"}, 2, 0, 2, 1},
        {"silent radio", {"--silent"}, 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string log = dir.File("wire.log");
        std::vector<std::string> options = {"--no-pace", "--once", "--log", log};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        const CliRun run = RunCli(dir, {"read", "--port", sim.Device(), "-o", dir.File("out.dat"), "--retries",
                                        std::to_string(c.retries)});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(Count(run.err, kCommunicationError), c.prompts) << run.err;
        EXPECT_EQ(sim.WaitForExit(), 0);
        const auto lines = WireLines(log);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "<" + Hex(Identity("P3207", 0xF5))), c.identities);
    }
}

class TimedPrompter : public TransferPrompter
{
public:
    explicit TimedPrompter(int retries) : retries_(retries) {}
    void ShowMessage(TransferMessage message) override { shown.push_back(message); }
    bool AskRetry(TransferMessage message) override
    {
        shown.push_back(message);
        times.push_back(std::chrono::steady_clock::now());
        return static_cast<int>(times.size()) <= retries_;
    }
    std::vector<TransferMessage> shown;
    std::vector<std::chrono::steady_clock::time_point> times;

private:
    int retries_;
};

class IdlePump : public TransferPump
{
public:
    bool PumpStep() override { return false; }
};

TEST(RadioHandshake, ASilentRadioFailsEachAttemptInAboutAThirdOfASecond)
{
    Sim sim({"--silent"});
    SystemSerialPort port;
    TimedPrompter prompter(2);
    IdlePump pump;
    RadioImage image = PatternImage(5, 6);
    const RadioImage before = image;

    const auto start = std::chrono::steady_clock::now();
    const TransferResult result = RadioTransfer(port, prompter, pump).Read(sim.Device(), image);
    EXPECT_EQ(result.outcome, TransferOutcome::Failed);
    EXPECT_EQ(result.message, TransferMessage::CommunicationError);
    EXPECT_EQ(result.attempts, 3);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(image, before);
    ASSERT_EQ(prompter.times.size(), 3u);
    // Six 1 ms waits, eight 2 ms waits and two 1-byte reads of 140 ms.
    auto previous = start;
    for (const auto& t : prompter.times) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - previous).count();
        EXPECT_GE(ms, 300);
        EXPECT_LE(ms, 450);
        previous = t;
    }
}

}  // namespace
