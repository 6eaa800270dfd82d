#include "core/link/FleetRun.h"

#include "core/document/ImageComparison.h"
#include "core/link/ReadCopies.h"
#include "core/link/TransferMessages.h"

#include <cstdio>

namespace {

// Turns the engine's prompts into silence: the run reports a fault in its
// record, never in a message box. While waiting for a radio, a missing
// answer is retried for ever, at the pace of the attempt interval; in the
// other steps only as often as the caller allows.
class RunPrompter final : public TransferPrompter
{
public:
    RunPrompter(FleetObserver& observer, FleetClock& clock)
        : observer_(observer)
        , clock_(clock)
    {}

    void Wait() { waiting_ = true; }
    void Step(int retries)
    {
        waiting_ = false;
        retriesLeft_ = retries;
    }

    void ShowMessage(TransferMessage) override {}
    bool AskRetry(TransferMessage) override
    {
        if (!waiting_) {
            if (retriesLeft_ <= 0)
                return false;
            --retriesLeft_;
            return true;
        }
        const auto now = clock_.Now();
        if (lastAttempt_ && now < *lastAttempt_ + kFleetAttemptInterval && !observer_.Cancelled())
            clock_.SleepUntil(*lastAttempt_ + kFleetAttemptInterval);
        lastAttempt_ = clock_.Now();
        // A cancel is then seen at the engine's next pump step.
        return true;
    }

private:
    FleetObserver& observer_;
    FleetClock& clock_;
    bool waiting_ = false;
    int retriesLeft_ = 0;
    std::optional<MonotonicClock::time_point> lastAttempt_;
};

class RunPump final : public TransferPump
{
public:
    explicit RunPump(FleetObserver& observer)
        : observer_(observer)
    {}

    // The step to announce once the first block has moved, if any.
    void Announce(std::optional<FleetStep> step, int radio)
    {
        step_ = step;
        radio_ = radio;
        announced_ = false;
    }
    bool PumpStep() override
    {
        observer_.ProcessEvents();
        return observer_.Cancelled();
    }
    bool Interrupted() override { return observer_.Cancelled(); }
    void SetProgress(int position) override
    {
        if (!announced_) {
            announced_ = true;
            if (step_)
                observer_.StepChanged(*step_, radio_);
        }
        observer_.Progress(position);
    }

private:
    FleetObserver& observer_;
    std::optional<FleetStep> step_;
    int radio_ = 0;
    bool announced_ = true;
};

// The record of a transfer that did not complete.
void RecordFault(FleetRecord& record, const TransferResult& result)
{
    record.result = FleetResult::Failed;
    record.disconnected = result.disconnected;
    record.message = result.message;
    if (IsPartialWrite(result)) {
        record.detail = FleetDetail::PartialWrite;
        record.frames = result.frames;
    } else if (result.outcome == TransferOutcome::Cancelled) {
        record.detail = FleetDetail::Cancelled;
    } else {
        record.detail = FleetDetail::Message;
    }
}

class Run
{
public:
    Run(SerialPort& port, FleetObserver& observer, FleetClock& clock, const FleetOptions& options)
        : observer_(observer)
        , clock_(clock)
        , options_(options)
        , prompter_(observer, clock)
        , pump_(observer)
        , engine_(port, prompter_, pump_)
    {}

    FleetSummary Go()
    {
        while (!observer_.Cancelled()) {
            if (!TakeRadio())
                break;
            if (options_.count > 0 && summary_.written >= options_.count)
                break;
            if (!WaitUntilGone())
                break;
        }
        summary_.cancelled = observer_.Cancelled();
        return summary_;
    }

private:
    // Waits for a radio and takes it through every step. False when the run
    // ends (cancelled while waiting, or the port failed).
    bool TakeRadio()
    {
        const int number = summary_.Taken() + 1;
        observer_.StepChanged(FleetStep::Waiting, number);
        prompter_.Wait();
        pump_.Announce(FleetStep::Reading, number);
        RadioImage radio = options_.document;
        const TransferResult read = engine_.Read(options_.device, radio);
        if (read.message == TransferMessage::CannotOpenPort) {
            summary_.portFailed = true;
            summary_.openError = read.openError;
            return false;
        }
        if (read.outcome == TransferOutcome::Cancelled && read.frames == 0)
            return false; // cancelled while waiting: no radio was taken
        if (read.outcome == TransferOutcome::Failed && read.disconnected && read.frames == 0 &&
            read.message != TransferMessage::TypeMismatch) {
            summary_.portFailed = true;
            summary_.disconnected = true;
            return false;
        }

        FleetRecord record;
        record.radio = number;
        record.port = options_.device;
        record.identity = read.identity;
        record.model = read.model;
        if (read.outcome != TransferOutcome::Completed)
            return Finish(record, read);

        const ReadCopyResult copy = StoreReadCopy(radio, options_.backupDirectory, clock_.WallNow());
        record.backup = copy.path;
        record.backupError = copy.error;
        const RadioIdentity identity{read.identity, read.model};
        if (!first_)
            first_ = identity;
        if (!copy.Stored()) {
            record.result = FleetResult::Failed;
            record.detail = FleetDetail::NoBackup;
            return Finish(record);
        }
        const FleetSkip skip = CheckRadio(identity, first_, radio, options_.document);
        if (skip != FleetSkip::None) {
            record.result = FleetResult::Skipped;
            record.detail = skip == FleetSkip::OtherModel ? FleetDetail::OtherModel : FleetDetail::OtherTypeOrBand;
            record.first = RadioLabel(first_->identity, first_->model);
            return Finish(record);
        }

        const RadioImage sent = options_.wholeImage ? WholeImageForRadio(radio, options_.document)
                                                    : MergeForRadio(radio, options_.document);
        observer_.StepChanged(FleetStep::Writing, number);
        prompter_.Step(options_.retries);
        pump_.Announce(std::nullopt, number);
        const TransferResult write = engine_.Write(options_.device, sent);
        if (write.outcome != TransferOutcome::Completed)
            return Finish(record, write);

        observer_.StepChanged(FleetStep::Verifying, number);
        prompter_.Step(options_.retries);
        pump_.Announce(std::nullopt, number);
        RadioImage readBack = sent;
        const TransferResult verify = engine_.Read(options_.device, readBack);
        if (verify.outcome != TransferOutcome::Completed)
            return Finish(record, verify);
        const std::vector<std::uint16_t> differing = DifferingFrames(sent, readBack);
        if (!differing.empty()) {
            record.result = FleetResult::Failed;
            record.detail = FleetDetail::VerifyDiffers;
            record.differingAddress = differing.front();
            return Finish(record);
        }
        record.result = FleetResult::Written;
        record.detail = FleetDetail::Verified;
        return Finish(record);
    }

    bool Finish(FleetRecord& record, const TransferResult& result)
    {
        RecordFault(record, result);
        return Finish(record);
    }

    bool Finish(FleetRecord& record)
    {
        record.time = clock_.WallNow();
        switch (record.result) {
        case FleetResult::Written: ++summary_.written; break;
        case FleetResult::Skipped: ++summary_.skipped; break;
        case FleetResult::Failed: ++summary_.failed; break;
        }
        lastAnswer_ = clock_.Now();
        observer_.RadioEnded(record);
        observer_.StepChanged(FleetStep::Done, record.radio);
        return true;
    }

    // Knocks until the radio has not answered for kFleetGoneAfter, so that
    // one that stays connected is never taken twice. False when the run ends.
    bool WaitUntilGone()
    {
        for (;;) {
            const auto start = clock_.Now();
            if (observer_.Cancelled())
                return false;
            const TransferResult probe = engine_.Probe(options_.device);
            const auto now = clock_.Now();
            if (probe.outcome == TransferOutcome::Completed)
                lastAnswer_ = now;
            else if (now - lastAnswer_ >= kFleetGoneAfter)
                return true;
            observer_.ProcessEvents();
            if (now < start + kFleetAttemptInterval && !observer_.Cancelled())
                clock_.SleepUntil(start + kFleetAttemptInterval);
        }
    }

    FleetObserver& observer_;
    FleetClock& clock_;
    const FleetOptions& options_;
    RunPrompter prompter_;
    RunPump pump_;
    RadioTransfer engine_;
    FleetSummary summary_;
    std::optional<RadioIdentity> first_;
    MonotonicClock::time_point lastAnswer_{};
};

} // namespace

FleetSummary RunFleet(SerialPort& port, FleetObserver& observer, FleetClock& clock, const FleetOptions& options)
{
    Run run(port, observer, clock, options);
    return run.Go();
}

const char* FleetResultWord(FleetResult result)
{
    switch (result) {
    case FleetResult::Written: return "written";
    case FleetResult::Skipped: return "skipped";
    case FleetResult::Failed: break;
    }
    return "failed";
}

const char* FleetResultText(FleetResult result, bool chinese)
{
    switch (result) {
    case FleetResult::Written: return chinese ? "已写入" : "Written";
    case FleetResult::Skipped: return chinese ? "跳过" : "Skipped";
    case FleetResult::Failed: break;
    }
    return chinese ? "失败" : "Failed";
}

std::string FleetDetailText(const FleetRecord& record, bool chinese)
{
    switch (record.detail) {
    case FleetDetail::Verified: return chinese ? "已校验" : "verified";
    case FleetDetail::OtherModel: {
        const std::string label = RadioLabel(record.identity, record.model);
        return chinese ? "电台型号不同（" + label + "，第一台为" + record.first + "）"
                       : "another radio model (" + label + ", the first was " + record.first + ")";
    }
    case FleetDetail::OtherTypeOrBand:
        return chinese ? "电台类型或频段与文档不同" : "radio type or band differs from the document";
    case FleetDetail::PartialWrite: return PartialWriteText(record.frames, chinese);
    case FleetDetail::VerifyDiffers: {
        char address[8];
        std::snprintf(address, sizeof address, "0x%04X", static_cast<unsigned>(record.differingAddress));
        return chinese ? std::string("校验失败：地址 ") + address + " 的数据与写入的不同"
                       : std::string("verify: the block at ") + address + " differs from what was written";
    }
    case FleetDetail::Cancelled: return chinese ? "已取消" : "cancelled";
    case FleetDetail::NoBackup:
        return chinese ? "无法保存备份，未写入：" + record.backupError
                       : "not written, the backup could not be kept: " + record.backupError;
    case FleetDetail::Message: break;
    }
    std::string text = record.message ? TransferMessageEnglishText(*record.message) : "";
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    if (record.disconnected)
        text += " " + DisconnectedText(record.port, false);
    return text;
}
