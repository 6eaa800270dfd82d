// The wake-up handshake: early and late answers, silent radios, Retry.

#include "LinkFixtures.h"

#include "core/link/RadioTransfer.h"

using namespace linktest;

namespace {

constexpr const char* kCommunicationError = "Communication Error,Please check all the connections and the radio power";

using RadioHandshake = SimulatedLineTest;

TEST_P(RadioHandshake, AnEarlyAnswerCountsOnlyAfterAnAttemptThatReadTheLateOne)
{
    struct Case
    {
        const char* name;
        void (*radio)(RadioSimulatorOptions&);
        int retries;
        int status;
        std::size_t prompts;    // communication errors shown
        std::size_t identities; // identity replies on the line
    };
    const Case cases[] = {
        {"early radio, refused on every attempt", [](RadioSimulatorOptions& r) { r.earlyAnswer = true; }, 2, 1, 3, 3},
        {"early radio, accepted after a silent attempt",
         [](RadioSimulatorOptions& r) {
             r.earlyAnswer = true;
             r.silentAttempts = 1;
         },
         1, 0, 1, 1},
        {"late radio after two silent attempts", [](RadioSimulatorOptions& r) { r.silentAttempts = 2; }, 2, 0, 2, 1},
        {"silent radio", [](RadioSimulatorOptions& r) { r.silent = true; }, 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RadioSimulatorOptions radio = Erased();
        c.radio(radio);
        SimulatedLink link(Line(radio));
        const CliRun run = RunCliOn(
            link, dir,
            {"read", "--port", link.Device(), "-o", dir.File("out.dat"), "--retries", std::to_string(c.retries)});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(Count(run.err, kCommunicationError), c.prompts) << run.err;
        const auto lines = link.Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "<" + Hex(Identity("P3207", 0xF5))), c.identities);
    }
}

// Notes when each Retry was asked, on the line's clock.
class TimedPrompter : public TransferPrompter
{
public:
    TimedPrompter(int retries, const SimulatedRadio& clock)
        : retries_(retries)
        , clock_(clock)
    {}
    void ShowMessage(TransferMessage message) override { shown.push_back(message); }
    bool AskRetry(TransferMessage message) override
    {
        shown.push_back(message);
        times.push_back(clock_.Now());
        return static_cast<int>(times.size()) <= retries_;
    }
    std::vector<TransferMessage> shown;
    std::vector<MonotonicClock::time_point> times;

private:
    int retries_;
    const SimulatedRadio& clock_;
};

TEST_P(RadioHandshake, ASilentRadioFailsEachAttemptInAboutAThirdOfASecond)
{
    RadioSimulatorOptions silent = Erased();
    silent.silent = true;
    SimulatedLink link(Line(silent));
    SimulatedSerialPort port(link.Radio());
    TimedPrompter prompter(2, link.Radio());
    IdlePump pump;
    RadioImage image = PatternImage(5, 6);
    const RadioImage before = image;

    const auto start = link.Radio().Now();
    const TransferResult result = RadioTransfer(port, prompter, pump).Read(link.Device(), image);
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

INSTANTIATE_CABLES(RadioHandshake);

} // namespace
