// Many radios in a row: the merge, the checks, the run's steps against a
// line of scripted radios on a clock that only moves when something waits
// on it, and the log.

#include "core/document/DataFile.h"
#include "core/document/RadioImage.h"
#include "core/link/FleetImage.h"
#include "core/link/FleetLog.h"
#include "core/link/FleetRun.h"
#include "core/link/ReadCopies.h"
#include "core/link/Timing.h"
#include "core/link/TransferMessages.h"
#include "core/util/AtomicFile.h"
#include "core/util/Csv.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Ms = std::chrono::milliseconds;

RadioImage Pattern(int seed)
{
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(seed) * 31 + 1);
    image[ImageMap::kRadioType] = 1;
    image[ImageMap::kBandIndex] = 2;
    return image;
}

// ---- the merge and the checks -------------------------------------------

enum class From { Radio, Document };

From ExpectedSource(std::size_t offset)
{
    if (offset >= 0x010 && offset <= 0x10F)
        return From::Document; // channel records
    if (offset == 0x17E || offset == 0x17F)
        return From::Document; // scan bitmap
    for (const std::size_t feature :
         {0x11D, 0x12F, 0x130, 0x134, 0x135, 0x136, 0x139, 0x13A, 0x13B, 0x13C, 0x13D, 0x161})
        if (offset == feature)
            return From::Document;
    return From::Radio; // block 0, the rest of 0x110-0x17D, 0x180-0x32D, type, band, 0x330 on
}

TEST(FleetMerge, EveryByteComesFromTheRegionItBelongsTo)
{
    const RadioImage radio = Pattern(1);
    RadioImage document = Pattern(2);
    document[ImageMap::kRadioType] = 3;
    document[ImageMap::kBandIndex] = 4;
    for (std::size_t i = 0; i < document.size(); ++i)
        ASSERT_NE(radio[i], document[i]); // so that every byte tells where it came from
    const RadioImage merged = MergeForRadio(radio, document);
    int fromDocument = 0;
    for (std::size_t i = 0; i < merged.size(); ++i) {
        const From expected = ExpectedSource(i);
        EXPECT_EQ(merged[i], expected == From::Document ? document[i] : radio[i]) << "offset " << i;
        fromDocument += expected == From::Document;
    }
    EXPECT_EQ(fromDocument, 256 + 2 + 12);
}

TEST(FleetMerge, WholeImageSendsTheDocumentsTransferredRange)
{
    const RadioImage radio = Pattern(1);
    const RadioImage document = Pattern(2);
    const RadioImage whole = WholeImageForRadio(radio, document);
    for (std::size_t i = 0; i < whole.size(); ++i)
        EXPECT_EQ(whole[i], i < 0x330 ? document[i] : radio[i]) << "offset " << i;
}

TEST(FleetCheck, SkipRules)
{
    const RadioImage document = Pattern(2);
    const RadioIdentity first{"P3207", 0xF5};
    RadioImage otherType = Pattern(1);
    otherType[ImageMap::kRadioType] = 0;
    RadioImage otherBand = Pattern(1);
    otherBand[ImageMap::kBandIndex] = 3;
    struct Case
    {
        const char* name;
        RadioIdentity radio;
        std::optional<RadioIdentity> first;
        RadioImage image;
        FleetSkip expected;
    } cases[] = {
        {"the first radio, alike", first, std::nullopt, Pattern(1), FleetSkip::None},
        {"same as the first", first, first, Pattern(1), FleetSkip::None},
        {"other identity", {"P2207", 0xF5}, first, Pattern(1), FleetSkip::OtherModel},
        {"other model byte", {"P3207", 0xFF}, first, Pattern(1), FleetSkip::OtherModel},
        {"model byte missing", {"P3207", std::nullopt}, first, Pattern(1), FleetSkip::OtherModel},
        {"other type", first, first, otherType, FleetSkip::OtherTypeOrBand},
        {"other band", first, first, otherBand, FleetSkip::OtherTypeOrBand},
        {"the first radio of another band", first, std::nullopt, otherBand, FleetSkip::OtherTypeOrBand},
        {"other model and band", {"P2207", 0xF5}, first, otherBand, FleetSkip::OtherModel},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckRadio(c.radio, c.first, c.image, document), c.expected) << c.name;
}

// ---- a line of scripted radios ------------------------------------------

class FakeClock final : public FleetClock
{
public:
    MonotonicClock::time_point Now() override { return now_; }
    void SleepUntil(MonotonicClock::time_point deadline) override
    {
        if (deadline > now_)
            now_ = deadline;
    }
    std::time_t WallNow() override
    {
        return 1'800'000'000 + std::chrono::duration_cast<std::chrono::seconds>(now_ - start_).count();
    }
    void Advance(MonotonicClock::duration d) { now_ += d; }
    double Seconds() const { return std::chrono::duration<double>(now_ - start_).count(); }

private:
    MonotonicClock::time_point start_ = MonotonicClock::time_point{} + std::chrono::hours(1);
    MonotonicClock::time_point now_ = start_;
};

struct ScriptedRadio
{
    RadioImage memory{};
    RadioImage original{};
    std::string identity = "P3207";
    std::uint8_t model = 0xF5;
    // Whether the radio is connected and switched on at a moment (seconds).
    std::function<bool(double now, const ScriptedRadio&)> present;
    // A frame the radio leaves unanswered: 'R' or 'W' and its address.
    std::function<bool(const ScriptedRadio&, char op, std::uint16_t address)> refuse;
    std::optional<std::uint16_t> badCell; // stores every value written to it inverted
    bool ignoreWakeUps = false;           // after the first read

    int writes = 0; // complete write sessions
    int reads = 0;  // complete read sessions
    int framesWritten = 0;
    int framesRead = 0;
    std::optional<double> verifiedAt; // a complete read after a complete write
};

ScriptedRadio MakeRadio(int seed, const RadioImage& base)
{
    ScriptedRadio radio;
    radio.memory = base;
    // Each radio's own bytes: block 0 and 0x180-0x32D differ from radio to radio.
    for (std::size_t i = 0; i < 0x10; ++i)
        radio.memory[i] = static_cast<std::uint8_t>(seed * 17 + i);
    for (std::size_t i = 0x180; i < 0x32E; ++i)
        radio.memory[i] = static_cast<std::uint8_t>(seed * 13 + i * 3);
    radio.original = radio.memory;
    return radio;
}

// The serial port with the radios behind it. Every byte on the line takes
// a millisecond of the fake clock; a read that waits for more than has come
// takes its time-out.
class ScriptedLine final : public SerialPort
{
public:
    ScriptedLine(FakeClock& clock, std::vector<ScriptedRadio> scripted)
        : radios(std::move(scripted))
        , clock_(clock)
    {}

    std::error_code Open(const std::string&) override
    {
        if (open_)
            return std::make_error_code(std::errc::device_or_resource_busy);
        if (openFails)
            return std::make_error_code(std::errc::no_such_file_or_directory);
        open_ = true;
        ++opens;
        Reset();
        return {};
    }
    bool IsOpen() const override { return open_; }
    void Close() override
    {
        open_ = false;
        Reset();
    }
    bool Configure(const SerialSettings&) override { return true; }
    void Purge(unsigned flags) override
    {
        if (flags & kPurgeReceiveClear)
            in_.clear();
    }
    bool Write(const std::uint8_t* data, std::size_t size) override
    {
        for (std::size_t i = 0; i < size; ++i) {
            clock_.Advance(Ms(1));
            if (data[i] == 'M' && size == 1)
                wakeUps.push_back(clock_.Seconds());
            ScriptedRadio* radio = Present();
            if (radio != current_) {
                Reset();
                current_ = radio;
            }
            if (radio)
                Receive(*radio, data[i]);
        }
        return true;
    }
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override
    {
        received = 0;
        // The radio's answers arrive after the host's last write: a purge
        // right after that write does not catch them.
        in_.insert(in_.end(), pending_.begin(), pending_.end());
        pending_.clear();
        while (received < size && !in_.empty()) {
            clock_.Advance(Ms(1));
            data[received++] = in_.front();
            in_.pop_front();
        }
        if (received < size)
            clock_.Advance(received == 0 ? Ms(50 * static_cast<int>(size) + 90) : Ms(30));
        return open_;
    }

    ScriptedRadio* Present()
    {
        for (ScriptedRadio& radio : radios)
            if (radio.present(clock_.Seconds(), radio))
                return &radio;
        return nullptr;
    }

    std::vector<ScriptedRadio> radios;
    std::vector<double> wakeUps; // when each wake-up ended, radio or not
    bool openFails = false;
    int opens = 0;

private:
    enum class State { Idle, AwaitIdentityRequest, AwaitAcknowledge, Session, WriteFrame, ReadRequest, AwaitFrameAck };

    void Reset()
    {
        state_ = State::Idle;
        wake_ = 0;
        frame_.clear();
        in_.clear();
        pending_.clear();
    }

    void Receive(ScriptedRadio& radio, std::uint8_t byte)
    {
        static const std::uint8_t kWake[8] = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
        if (state_ == State::WriteFrame || state_ == State::ReadRequest) {
            frame_.push_back(byte);
            const std::uint16_t address =
                frame_.size() >= 3 ? static_cast<std::uint16_t>(frame_[1] << 8 | frame_[2]) : 0;
            if (state_ == State::WriteFrame && frame_.size() == 12) {
                state_ = State::Session;
                if (radio.refuse && radio.refuse(radio, 'W', address))
                    state_ = State::Idle;
                else {
                    std::copy(frame_.begin() + 4, frame_.end(), radio.memory.begin() + address);
                    if (radio.badCell && *radio.badCell >= address && *radio.badCell < address + 8)
                        radio.memory[*radio.badCell] = static_cast<std::uint8_t>(~radio.memory[*radio.badCell]);
                    ++radio.framesWritten;
                    pending_.push_back(0x06);
                    if (address == 0x328)
                        ++radio.writes;
                }
            } else if (state_ == State::ReadRequest && frame_.size() == 4) {
                state_ = State::AwaitFrameAck;
                readAddress_ = address;
                if (radio.refuse && radio.refuse(radio, 'R', address)) {
                    state_ = State::Idle;
                    return;
                }
                pending_.insert(pending_.end(), {'W', frame_[1], frame_[2], 8});
                pending_.insert(pending_.end(), radio.memory.begin() + address, radio.memory.begin() + address + 8);
            }
            return;
        }
        if (wake_ > 0 || (byte == kWake[0] && state_ != State::AwaitIdentityRequest)) {
            wake_ = byte == kWake[wake_] ? wake_ + 1 : (byte == kWake[0] ? 1 : 0);
            if (wake_ == 8) {
                wake_ = 0;
                const bool deaf = radio.ignoreWakeUps && radio.reads > 0;
                state_ = deaf ? State::Idle : State::AwaitIdentityRequest;
                if (!deaf)
                    pending_.push_back(0x06);
            }
            return;
        }
        switch (state_) {
        case State::AwaitIdentityRequest:
            if (byte == 0x02) {
                pending_.insert(pending_.end(), radio.identity.begin(), radio.identity.end());
                pending_.insert(pending_.end(), {0x00, 0x00, radio.model});
                state_ = State::AwaitAcknowledge;
            }
            break;
        case State::AwaitAcknowledge:
            if (byte == 0x06) {
                pending_.push_back(0x06);
                state_ = State::Session;
            }
            break;
        case State::Session:
            if (byte == 'W' || byte == 'R') {
                frame_.assign(1, byte);
                state_ = byte == 'W' ? State::WriteFrame : State::ReadRequest;
            }
            break;
        case State::AwaitFrameAck:
            if (byte == 0x06) {
                pending_.push_back(0x06);
                ++radio.framesRead;
                state_ = State::Session;
                if (readAddress_ == 0x328) {
                    ++radio.reads;
                    if (radio.writes > 0 && !radio.verifiedAt)
                        radio.verifiedAt = clock_.Seconds();
                }
            }
            break;
        default: break;
        }
    }

    FakeClock& clock_;
    bool open_ = false;
    ScriptedRadio* current_ = nullptr;
    State state_ = State::Idle;
    int wake_ = 0;
    std::vector<std::uint8_t> frame_;
    std::uint16_t readAddress_ = 0;
    std::deque<std::uint8_t> in_;
    std::deque<std::uint8_t> pending_;
};

// Present from `from` seconds until `stay` seconds after it has been
// verified (or until `until` when it never is).
std::function<bool(double, const ScriptedRadio&)> PresentFrom(double from, double stay = 2.0, double until = 1e9)
{
    return [=](double now, const ScriptedRadio& radio) {
        if (now < from)
            return false;
        if (radio.verifiedAt)
            return now < *radio.verifiedAt + stay;
        return now < until;
    };
}

// True once the run has gone on past the end of the radio's verify: the
// clock moves only on the line, and the next thing on it after the verify
// is the first knock of the wait until the radio has gone.
bool PastVerify(const ScriptedRadio& radio, double now)
{
    return radio.verifiedAt && now > *radio.verifiedAt + 0.01;
}

class Observer final : public FleetObserver
{
public:
    explicit Observer(std::function<bool()> cancelWhen)
        : cancelWhen_(std::move(cancelWhen))
    {}
    bool Cancelled() override
    {
        if (!cancelled_ && cancelWhen_ && cancelWhen_())
            cancelled_ = true;
        return cancelled_;
    }
    void StepChanged(FleetStep step, int radio) override { steps.push_back({step, radio}); }
    void RadioEnded(const FleetRecord& record) override { records.push_back(record); }

    std::vector<std::pair<FleetStep, int>> steps;
    std::vector<FleetRecord> records;

private:
    std::function<bool()> cancelWhen_;
    bool cancelled_ = false;
};

class FleetRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("fleet-run-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(testsystem::ProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        document_ = MakeNewImage();
        // The document's channels and features, all unlike any radio's.
        for (std::size_t i = 0x010; i < 0x180; ++i)
            document_[i] = static_cast<std::uint8_t>(0xA0 + i % 7);
        document_[ImageMap::kRadioType] = 1;
        document_[ImageMap::kBandIndex] = 2;
        radioBase_ = Pattern(5);
    }
    void TearDown() override { fs::remove_all(dir_); }

    FleetSummary Run(ScriptedLine& line, Observer& observer, int count = 0)
    {
        FleetOptions options;
        options.device = "/dev/ttyTEST";
        options.document = document_;
        options.count = count;
        options.backupDirectory = (dir_ / "backups").string();
        return RunFleet(line, observer, clock_, options);
    }

    ScriptedRadio Radio(int seed) const { return MakeRadio(seed, radioBase_); }

    void ExpectWrittenOnce(const ScriptedRadio& radio, const char* name)
    {
        EXPECT_EQ(radio.writes, 1) << name;
        EXPECT_EQ(radio.memory, MergeForRadio(radio.original, document_)) << name;
    }

    fs::path dir_;
    FakeClock clock_;
    // The transfers' 1 and 2 ms pauses pass at once: the run's time is the
    // fake clock's, which moves with the bytes on the line.
    SimulatedWaits noWaits_{[](std::chrono::milliseconds) {}};
    RadioImage document_{};
    RadioImage radioBase_{};
};

TEST_F(FleetRunTest, ThreeRadiosInARowEachGetTheirOwnMergeAndBackup)
{
    std::vector<ScriptedRadio> radios = {Radio(1), Radio(2), Radio(3)};
    // Each appears well after the one before has gone.
    radios[0].present = PresentFrom(0.7);
    radios[1].present = [](double now, const ScriptedRadio& r) {
        return now > 30 && (!r.verifiedAt || now < *r.verifiedAt + 2);
    };
    radios[2].present = [](double now, const ScriptedRadio& r) {
        return now > 60 && (!r.verifiedAt || now < *r.verifiedAt + 2);
    };
    ScriptedLine line(clock_, radios);
    Observer observer([&] { return clock_.Seconds() > 100; });
    const FleetSummary summary = Run(line, observer);

    EXPECT_EQ(summary.written, 3);
    EXPECT_EQ(summary.failed + summary.skipped, 0);
    EXPECT_TRUE(summary.cancelled);
    ASSERT_EQ(observer.records.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const FleetRecord& record = observer.records[static_cast<std::size_t>(i)];
        ExpectWrittenOnce(line.radios[static_cast<std::size_t>(i)], "radio");
        EXPECT_EQ(record.radio, i + 1);
        EXPECT_EQ(record.result, FleetResult::Written);
        EXPECT_EQ(FleetDetailText(record, false), "verified");
        EXPECT_EQ(RadioLabel(record.identity, record.model), "P3207 F5");
        // The backup holds what the radio held before.
        RadioImage backup{};
        ASSERT_EQ(LoadDataFile(record.backup, backup), DataFileResult::Ok);
        EXPECT_TRUE(std::equal(backup.begin(), backup.begin() + 0x330,
                               line.radios[static_cast<std::size_t>(i)].original.begin()));
    }
    // The steps of the second radio, in order.
    std::vector<FleetStep> second;
    for (const auto& [step, radio] : observer.steps)
        if (radio == 2)
            second.push_back(step);
    EXPECT_EQ(second, (std::vector<FleetStep>{FleetStep::Waiting, FleetStep::Reading, FleetStep::Writing,
                                              FleetStep::Verifying, FleetStep::Done}));
}

TEST_F(FleetRunTest, AttemptsWhileWaitingAreAtMostHalfASecondApart)
{
    std::vector<ScriptedRadio> radios = {Radio(1)};
    radios[0].present = PresentFrom(10.0);
    ScriptedLine line(clock_, radios);
    std::optional<double> firstAnswer;
    Observer observer([&] {
        if (!firstAnswer && line.radios[0].framesRead > 0)
            firstAnswer = clock_.Seconds();
        return line.radios[0].verifiedAt.has_value();
    });
    Run(line, observer);
    ASSERT_GE(line.wakeUps.size(), 20u);
    for (std::size_t i = 1; i < line.wakeUps.size() && line.wakeUps[i] < 10.0; ++i)
        EXPECT_LE(line.wakeUps[i] - line.wakeUps[i - 1], 0.5) << "attempt " << i;
    ASSERT_TRUE(firstAnswer);
    EXPECT_LT(*firstAnswer - 10.0, 0.6);
}

TEST_F(FleetRunTest, ARadioThatLingersIsNotWrittenTwice)
{
    std::vector<ScriptedRadio> radios = {Radio(1)};
    radios[0].present = [](double, const ScriptedRadio&) { return true; };
    ScriptedLine line(clock_, radios);
    Observer observer([&] { return clock_.Seconds() > 60; });
    const FleetSummary summary = Run(line, observer);
    EXPECT_EQ(summary.Taken(), 1);
    EXPECT_EQ(line.radios[0].writes, 1);
    EXPECT_EQ(line.radios[0].reads, 2); // the read and the verify; the probes read nothing
}

TEST_F(FleetRunTest, AGapUnderASecondIsNotANewRadio)
{
    for (const double gap : {0.6, 1.6}) {
        std::vector<ScriptedRadio> radios = {Radio(1)};
        // Verified, stays 2 s, silent for the gap, then back for good.
        radios[0].present = [gap](double, const ScriptedRadio&) { return true; };
        radios[0].present = [gap](double now, const ScriptedRadio& r) {
            return !r.verifiedAt || now < *r.verifiedAt + 2 || now >= *r.verifiedAt + 2 + gap;
        };
        ScriptedLine line(clock_, radios);
        const double start = clock_.Seconds();
        Observer observer([&] { return clock_.Seconds() > start + 60; });
        const FleetSummary summary = Run(line, observer);
        // After a real absence the same radio comes back as a new one and is
        // written again; after a short one it is still the radio just done.
        EXPECT_EQ(summary.Taken(), gap < 1.0 ? 1 : 2) << "gap " << gap;
        EXPECT_EQ(line.radios[0].writes, gap < 1.0 ? 1 : 2) << "gap " << gap;
    }
}

TEST_F(FleetRunTest, AFaultEndsThatRadioAndTheRunGoesOn)
{
    struct Case
    {
        const char* name;
        std::function<void(ScriptedRadio&)> fault;
        FleetDetail detail;
        std::optional<TransferMessage> message;
        bool backedUp;
    } cases[] = {
        {"read refused",
         [](ScriptedRadio& r) {
             r.refuse = [](const ScriptedRadio&, char op, std::uint16_t a) { return op == 'R' && a == 0x100; };
         },
         FleetDetail::Message, TransferMessage::ProgramInterrupt, false},
        {"write refused part-way",
         [](ScriptedRadio& r) {
             r.refuse = [](const ScriptedRadio&, char op, std::uint16_t a) { return op == 'W' && a == 0x100; };
         },
         FleetDetail::PartialWrite, TransferMessage::ProgramInterrupt, true},
        {"first write frame refused",
         [](ScriptedRadio& r) {
             r.refuse = [](const ScriptedRadio&, char op, std::uint16_t a) { return op == 'W' && a == 0; };
         },
         FleetDetail::Message, TransferMessage::ProgramInterrupt, true},
        {"verify refused",
         [](ScriptedRadio& r) {
             r.refuse = [](const ScriptedRadio& s, char op, std::uint16_t a) {
                 return op == 'R' && a == 0x200 && s.writes > 0;
             };
         },
         FleetDetail::Message, TransferMessage::ProgramInterrupt, true},
        {"verify differs", [](ScriptedRadio& r) { r.badCell = 0x0123; }, FleetDetail::VerifyDiffers, std::nullopt,
         true},
        {"no answer to the write's handshake", [](ScriptedRadio& r) { r.ignoreWakeUps = true; }, FleetDetail::Message,
         TransferMessage::CommunicationError, true},
    };
    for (const Case& c : cases) {
        std::vector<ScriptedRadio> radios = {Radio(1), Radio(2)};
        c.fault(radios[0]);
        const double start = clock_.Seconds();
        radios[0].present = [start](double now, const ScriptedRadio&) { return now < start + 15; };
        radios[1].present = [start](double now, const ScriptedRadio&) { return now > start + 20; };
        ScriptedLine line(clock_, radios);
        Observer observer([&] { return PastVerify(line.radios[1], clock_.Seconds()); });
        const FleetSummary summary = Run(line, observer);
        ASSERT_EQ(observer.records.size(), 2u) << c.name;
        const FleetRecord& failed = observer.records[0];
        EXPECT_EQ(failed.result, FleetResult::Failed) << c.name;
        EXPECT_EQ(failed.detail, c.detail) << c.name;
        EXPECT_EQ(failed.message, c.message) << c.name;
        EXPECT_EQ(!failed.backup.empty(), c.backedUp) << c.name;
        EXPECT_EQ(observer.records[1].result, FleetResult::Written)
            << c.name << ": " << FleetDetailText(observer.records[1], false);
        EXPECT_EQ(summary.failed, 1) << c.name;
        EXPECT_EQ(summary.written, 1) << c.name;
        ExpectWrittenOnce(line.radios[1], c.name);
        if (c.detail == FleetDetail::PartialWrite) {
            EXPECT_EQ(failed.frames, 32) << c.name;
            EXPECT_EQ(FleetDetailText(failed, false), PartialWriteText(32, false));
        }
        if (c.detail == FleetDetail::VerifyDiffers) {
            EXPECT_EQ(FleetDetailText(failed, false), "verify: the block at 0x0120 differs from what was written");
        }
    }
}

double startOfCase = 0;

TEST_F(FleetRunTest, CancelInEachStep)
{
    struct Case
    {
        const char* name;
        std::function<bool(const ScriptedLine&, double)> when; // given the seconds since the case began
        int taken;
        std::optional<FleetResult> result;
        std::optional<FleetDetail> detail;
    } cases[] = {
        {"waiting", [](const ScriptedLine&, double t) { return t > 3; }, 0, std::nullopt, std::nullopt},
        {"reading", [](const ScriptedLine& l, double) { return l.radios[0].framesRead >= 20; }, 1, FleetResult::Failed,
         FleetDetail::Cancelled},
        {"writing", [](const ScriptedLine& l, double) { return l.radios[0].framesWritten >= 10; }, 1,
         FleetResult::Failed, FleetDetail::PartialWrite},
        {"verifying",
         [](const ScriptedLine& l, double) { return l.radios[0].writes > 0 && l.radios[0].framesRead >= 120; }, 1,
         FleetResult::Failed, FleetDetail::Cancelled},
        {"waiting for it to go",
         [](const ScriptedLine& l, double t) {
             return l.radios[0].verifiedAt && t > 5 && PastVerify(l.radios[0], t + startOfCase);
         },
         1, FleetResult::Written, FleetDetail::Verified},
    };
    for (const Case& c : cases) {
        std::vector<ScriptedRadio> radios = {Radio(1)};
        const double start = clock_.Seconds();
        startOfCase = start;
        radios[0].present = [start](double now, const ScriptedRadio&) { return now > start + 5; };
        if (std::string(c.name) == "waiting")
            radios[0].present = [](double, const ScriptedRadio&) { return false; };
        ScriptedLine line(clock_, radios);
        Observer observer([&] { return c.when(line, clock_.Seconds() - start); });
        const FleetSummary summary = Run(line, observer);
        EXPECT_TRUE(summary.cancelled) << c.name;
        EXPECT_EQ(summary.Taken(), c.taken) << c.name;
        ASSERT_EQ(observer.records.size(), static_cast<std::size_t>(c.taken)) << c.name;
        if (c.taken == 1) {
            EXPECT_EQ(observer.records[0].result, *c.result) << c.name;
            EXPECT_EQ(observer.records[0].detail, *c.detail) << c.name;
        }
        EXPECT_FALSE(line.IsOpen()) << c.name;
        // Nothing more happens on the line once the run has stopped.
        EXPECT_LE(line.radios[0].writes, 1) << c.name;
    }
}

TEST_F(FleetRunTest, RadiosOfAnotherModelTypeOrBandAreSkippedAndLeftAlone)
{
    std::vector<ScriptedRadio> radios = {Radio(1), Radio(2), Radio(3), Radio(4)};
    radios[1].model = 0xFF;
    radios[2].memory[ImageMap::kBandIndex] = 0;
    radios[2].original = radios[2].memory;
    radios[0].present = PresentFrom(0);
    radios[1].present = [](double now, const ScriptedRadio&) { return now > 20 && now < 35; };
    radios[2].present = [](double now, const ScriptedRadio&) { return now > 40 && now < 55; };
    radios[3].present = PresentFrom(60);
    ScriptedLine line(clock_, radios);
    Observer observer([&] { return PastVerify(line.radios[3], clock_.Seconds()); });
    const FleetSummary summary = Run(line, observer);
    EXPECT_EQ(summary.written, 2);
    EXPECT_EQ(summary.skipped, 2);
    ASSERT_EQ(observer.records.size(), 4u);
    EXPECT_EQ(observer.records[1].result, FleetResult::Skipped);
    EXPECT_EQ(FleetDetailText(observer.records[1], false), "another radio model (P3207 FF, the first was P3207 F5)");
    EXPECT_EQ(FleetDetailText(observer.records[1], true), "电台型号不同（P3207 FF，第一台为P3207 F5）");
    EXPECT_EQ(observer.records[2].result, FleetResult::Skipped);
    EXPECT_EQ(FleetDetailText(observer.records[2], false), "radio type or band differs from the document");
    for (const std::size_t i : {1u, 2u}) {
        EXPECT_EQ(line.radios[i].writes, 0);
        EXPECT_EQ(line.radios[i].memory, line.radios[i].original);
        EXPECT_FALSE(observer.records[i].backup.empty());
    }
    ExpectWrittenOnce(line.radios[3], "the fourth");
}

TEST_F(FleetRunTest, CountEndsTheRunAfterThatManyWritten)
{
    std::vector<ScriptedRadio> radios = {Radio(1), Radio(2), Radio(3)};
    radios[0].present = PresentFrom(0);
    radios[1].present = [](double now, const ScriptedRadio& r) {
        return now > 20 && (!r.verifiedAt || now < *r.verifiedAt + 2);
    };
    radios[2].present = PresentFrom(40);
    ScriptedLine line(clock_, radios);
    Observer observer([&] { return clock_.Seconds() > 200; });
    const FleetSummary summary = Run(line, observer, 2);
    EXPECT_EQ(summary.written, 2);
    EXPECT_FALSE(summary.cancelled);
    EXPECT_EQ(line.radios[2].reads, 0);
}

TEST_F(FleetRunTest, NoBackupNoWrite)
{
    std::vector<ScriptedRadio> radios = {Radio(1)};
    radios[0].present = PresentFrom(0);
    ScriptedLine line(clock_, radios);
    Observer observer([&] { return !observer.records.empty(); });
    FleetOptions options;
    options.device = "/dev/ttyTEST";
    options.document = document_;
    // A file where the folder of the copies should be.
    std::ofstream((dir_ / "blocked").string()) << "x";
    options.backupDirectory = (dir_ / "blocked" / "copies").string();
    RunFleet(line, observer, clock_, options);
    ASSERT_EQ(observer.records.size(), 1u);
    EXPECT_EQ(observer.records[0].result, FleetResult::Failed);
    EXPECT_EQ(observer.records[0].detail, FleetDetail::NoBackup);
    EXPECT_EQ(line.radios[0].writes, 0);
    EXPECT_EQ(line.radios[0].memory, line.radios[0].original);
}

TEST_F(FleetRunTest, APortThatCannotBeOpenedEndsTheRun)
{
    ScriptedLine line(clock_, {});
    line.openFails = true;
    Observer observer(nullptr);
    const FleetSummary summary = Run(line, observer);
    EXPECT_TRUE(summary.portFailed);
    EXPECT_EQ(summary.openError, std::errc::no_such_file_or_directory);
    EXPECT_EQ(summary.Taken(), 0);
}

// ---- the log -------------------------------------------------------------

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(FleetLog, HeadingQuotingAndAtomicReplacement)
{
    const fs::path dir = fs::temp_directory_path() / ("fleet-log-" + std::to_string(testsystem::ProcessId()));
    fs::remove_all(dir);
    const fs::path path = dir / "sub" / "run.csv";
    FleetLog log(path.string());
    FleetRecord written;
    written.radio = 1;
    written.time = 1'800'000'000;
    written.port = "/dev/ttyUSB0";
    written.identity = "P3207";
    written.model = 0xF5;
    written.result = FleetResult::Written;
    written.detail = FleetDetail::Verified;
    written.backup = "/home/a/2026-12-10_09-14-03.dat";
    ASSERT_TRUE(log.Add(written));
    const std::string firstText = ReadAll(path);
    const std::string heading = "Radio,Time,Port,Identity,Model,Result,Detail,Backup\n";
    ASSERT_EQ(firstText.substr(0, heading.size()), heading);
    const std::string row = firstText.substr(heading.size());
    // Radio 1, the local time with its offset (YYYY-MM-DDTHH:MM:SS+HH:MM),
    // then the fields as given.
    const std::string timePattern = "dddd-dd-ddTdd:dd:dd+dd:dd";
    const std::string tail = ",/dev/ttyUSB0,P3207,F5,written,verified,/home/a/2026-12-10_09-14-03.dat\n";
    ASSERT_EQ(row.size(), 2 + timePattern.size() + tail.size()) << row;
    EXPECT_EQ(row.substr(0, 2), "1,");
    for (std::size_t i = 0; i < timePattern.size(); ++i) {
        const char c = row[2 + i];
        const char want = timePattern[i];
        const bool ok = want == 'd' ? (c >= '0' && c <= '9') : want == '+' ? (c == '+' || c == '-') : c == want;
        EXPECT_TRUE(ok) << "time field, character " << i << ": " << row;
    }
    EXPECT_EQ(row.substr(2 + timePattern.size()), tail);

    FleetRecord failed = written;
    failed.radio = 2;
    failed.model.reset();
    failed.result = FleetResult::Failed;
    failed.detail = FleetDetail::Message;
    failed.message = TransferMessage::CommunicationError;
    failed.backup.clear();
    {
        // A write that fails leaves the file as it was.
        const ScopedAtomicWriteFailure failure(AtomicWriteStep::Rename);
        std::string error;
        EXPECT_FALSE(log.Add(failed, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadAll(path), firstText);
    }
    FleetRecord skipped = written;
    skipped.radio = 3;
    skipped.result = FleetResult::Skipped;
    skipped.detail = FleetDetail::OtherTypeOrBand;
    ASSERT_TRUE(log.Add(skipped));
    const std::string text = ReadAll(path);
    EXPECT_EQ(text, log.Text());
    // The message holds a comma, so its field is quoted.
    EXPECT_NE(text.find(",,failed,\"Communication Error,Please check all the connections and the radio power\",\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(",skipped,radio type or band differs from the document,"), std::string::npos);
    std::vector<CsvError> errors;
    EXPECT_EQ(ParseCsv(text, errors).size(), 4u);
    fs::remove_all(dir);
}

#ifndef _WIN32
// Time zones as TZ rules, and XDG_DATA_HOME: POSIX notions.
TEST(FleetLog, TimesCarryTheirOffset)
{
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    struct Case
    {
        const char* tz;
        const char* expected;
    } cases[] = {{"UTC0", "2027-01-14T08:00:00+00:00"},
                 {"IST-5:30", "2027-01-14T13:30:00+05:30"},
                 {"EST5EDT,M3.2.0,M11.1.0", "2027-01-14T03:00:00-05:00"}};
    for (const Case& c : cases) {
        setenv("TZ", c.tz, 1);
        tzset();
        EXPECT_EQ(IsoLocalTime(1'799'913'600), c.expected) << c.tz;
    }
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(FleetLog, DefaultPathIsBesideTheReadCopies)
{
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", "/data/x", 1);
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(DefaultFleetLogPath(1'799'913'600), "/data/x/radio-programmer/fleet-logs/fleet-2027-01-14_08-00-00.csv");
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    unsetenv("TZ");
    tzset();
}

#endif

} // namespace
