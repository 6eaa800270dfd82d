#include "core/link/RadioTransfer.h"

#include "core/link/Timing.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 8> kWakeUp = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::size_t kEarlyAnswerAfter = 6; // index of 'A', the seventh byte
constexpr std::uint8_t kIdentityRequest = 0x02;
constexpr std::uint8_t kAcknowledge = 0x06;
constexpr std::uint8_t kWriteCommand = 'W';
constexpr std::uint8_t kReadCommand = 'R';
constexpr std::uint8_t kFrameSize = 8;
constexpr std::size_t kIdentitySize = 8;
constexpr std::size_t kReadReplySize = 12;
constexpr std::size_t kReadReplyHeader = 4;
constexpr int kBlocks = static_cast<int>(ImageMap::kTransferBlocks); // 51

constexpr int kPumpStepsBeforeAttempt = 6;
constexpr int kPumpStepsAfterBlock = 5;

// Identity bytes 0-4 must read P3207 or P2207. Only bytes that arrived are
// compared; a missing one does not match.
bool IdentityAccepted(const std::uint8_t* identity, std::size_t received)
{
    return received >= 5 && identity[0] == 'P' && (identity[1] == '3' || identity[1] == '2') && identity[2] == '2' &&
           identity[3] == '0' && identity[4] == '7';
}

} // namespace

SerialSettings RadioLineSettings()
{
    SerialSettings settings;
    settings.baudRate = 9600;
    settings.receiveQueue = 1024;
    settings.transmitQueue = 512;
    settings.timeouts.readInterval = 30;
    settings.timeouts.readTotalPerByte = 50;
    settings.timeouts.readTotalConstant = 90;
    settings.timeouts.writeTotalPerByte = 50;
    settings.timeouts.writeTotalConstant = 50;
    return settings;
}

bool IsPartialWrite(const TransferResult& result)
{
    return result.writing && result.outcome != TransferOutcome::Completed && result.frames >= 1 &&
           result.frames < kTransferFrames;
}

int DeviceModeFromModel(std::optional<std::uint8_t> model)
{
    if (model == 0xFF)
        return 1;
    if (model == 0xF5)
        return 2;
    return 0;
}

RadioTransfer::RadioTransfer(SerialPort& port, TransferPrompter& prompter, TransferPump& pump)
    : port_(port)
    , prompter_(prompter)
    , pump_(pump)
{}

TransferResult RadioTransfer::Read(const std::string& device, RadioImage& image)
{
    const PreciseTimerPeriod timerPeriod; // the 1 ms waits stay near 1 ms
    TransferResult result;
    if (!Open(device, result) || !Connect(result))
        return result;
    // Frames are collected aside, so that the image changes all at once or
    // not at all.
    RadioImage scratch = image;
    const bool moved = MoveFrames(result, [&](std::uint16_t address, int half) {
        if (half == 1)
            SleepMilliseconds(1);
        return ReadFrame(address, scratch.data() + address);
    });
    if (!moved)
        return result;
    std::copy(scratch.begin() + ImageMap::kTransferBegin, scratch.begin() + ImageMap::kTransferEnd,
              image.begin() + ImageMap::kTransferBegin);
    result.deviceMode = DeviceModeFromModel(model_);
    return End(result, TransferOutcome::Completed);
}

TransferResult RadioTransfer::Write(const std::string& device, const RadioImage& image)
{
    const PreciseTimerPeriod timerPeriod;
    // A copy, so that whatever the pumped events change in the document
    // meanwhile, the radio receives one consistent image.
    const RadioImage source = image;
    TransferResult result;
    result.writing = true;
    if (!Open(device, result) || !Connect(result))
        return result;
    const bool moved =
        MoveFrames(result, [&](std::uint16_t address, int) { return WriteFrame(address, source.data() + address); });
    return moved ? End(result, TransferOutcome::Completed) : result;
}

bool RadioTransfer::MoveFrames(TransferResult& result, const std::function<bool(std::uint16_t, int)>& frame)
{
    std::uint16_t address = 0;
    for (int block = 0; block < kBlocks; ++block) {
        for (int half = 0; half < 2; ++half) {
            if (half == 1 && pump_.Interrupted()) {
                End(result, TransferOutcome::Cancelled);
                return false;
            }
            if (!frame(address, half)) {
                result.disconnected = port_.HungUp();
                prompter_.ShowMessage(TransferMessage::ProgramInterrupt);
                End(result, TransferOutcome::Failed, TransferMessage::ProgramInterrupt);
                return false;
            }
            ++result.frames;
            address += kFrameSize;
        }
        result.blocks = block + 1;
        pump_.SetProgress(result.blocks);
        if (!Pump(kPumpStepsAfterBlock)) {
            End(result, TransferOutcome::Cancelled);
            return false;
        }
    }
    return true;
}

TransferResult RadioTransfer::Probe(const std::string& device)
{
    const PreciseTimerPeriod timerPeriod;
    TransferResult result;
    answerRead_ = true; // one attempt: an early answer counts as an answer
    model_.reset();
    identity_.clear();
    result.openError = port_.Open(device);
    if (result.openError) {
        result.message = TransferMessage::CannotOpenPort;
        return result;
    }
    port_.Configure(RadioLineSettings());
    result.attempts = 1;
    const Connection connection = Attempt();
    result.identity = identity_;
    result.model = model_;
    result.disconnected = connection == Connection::Disconnected;
    // A radio that sent its identity has answered, whatever came after it.
    const bool answered = connection == Connection::Connected || connection == Connection::WrongType ||
                          (connection == Connection::NoAnswer && !identity_.empty());
    return End(result, answered ? TransferOutcome::Completed : TransferOutcome::Failed);
}

bool RadioTransfer::Open(const std::string& device, TransferResult& result)
{
    answerRead_ = false;
    model_.reset();
    identity_.clear();
    result.openError = port_.Open(device);
    if (result.openError) {
        prompter_.ShowMessage(TransferMessage::CannotOpenPort);
        result.outcome = TransferOutcome::Failed;
        result.message = TransferMessage::CannotOpenPort;
        return false;
    }
    port_.Configure(RadioLineSettings()); // what the driver refuses shows up as a missing answer
    return true;
}

bool RadioTransfer::Connect(TransferResult& result)
{
    for (;;) {
        for (int i = 0; i < kPumpStepsBeforeAttempt; ++i) {
            if (pump_.PumpStep()) {
                End(result, TransferOutcome::Cancelled);
                return false;
            }
            SleepMilliseconds(1);
        }
        ++result.attempts;
        switch (Attempt()) {
        case Connection::Connected: return true;
        case Connection::WrongType:
            prompter_.ShowMessage(TransferMessage::TypeMismatch);
            End(result, TransferOutcome::Failed, TransferMessage::TypeMismatch);
            return false;
        case Connection::Disconnected:
            // A line that has gone will not come back with a Retry.
            result.disconnected = true;
            prompter_.ShowMessage(TransferMessage::CommunicationError);
            End(result, TransferOutcome::Failed, TransferMessage::CommunicationError);
            return false;
        case Connection::NoAnswer:
            if (!prompter_.AskRetry(TransferMessage::CommunicationError)) {
                End(result, TransferOutcome::Failed, TransferMessage::CommunicationError);
                return false;
            }
            break; // a new attempt, with the port still open
        }
    }
}

RadioTransfer::Connection RadioTransfer::Attempt()
{
    port_.Purge(kPurgeAll);
    // Wake-up, one byte at a time. A radio may answer right after the
    // seventh byte; that early answer is accepted only once some attempt of
    // this transfer has made the late answer read below.
    bool answered = false;
    std::uint8_t answer = 0;
    for (std::size_t i = 0; i < kWakeUp.size(); ++i) {
        SleepMilliseconds(2);
        port_.Purge(kPurgeClear);
        WriteByte(kWakeUp[i]);
        if (i == kEarlyAnswerAfter)
            answered = ReadByte(answer);
    }
    if (port_.HungUp())
        return Connection::Disconnected;
    if (!answered) {
        bool callOk = false;
        answered = ReadByte(answer, &callOk);
        if (callOk)
            answerRead_ = true; // a time-out counts too; never cleared during the transfer
        if (port_.HungUp())
            return Connection::Disconnected;
        if (!answered)
            return Connection::NoAnswer;
    }

    SleepMilliseconds(1);
    port_.Purge(kPurgeClear);
    WriteByte(kIdentityRequest);
    SleepMilliseconds(1);
    std::array<std::uint8_t, kIdentitySize> identity{};
    std::size_t received = 0;
    port_.Read(identity.data(), identity.size(), received);
    if (port_.HungUp())
        return Connection::Disconnected;
    model_ = received >= kIdentitySize ? std::optional<std::uint8_t>(identity[7]) : std::nullopt;
    identity_.assign(identity.begin(),
                     identity.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(received, 5)));
    if (!IdentityAccepted(identity.data(), received))
        return Connection::WrongType;
    if (!answerRead_)
        return Connection::NoAnswer;

    port_.Purge(kPurgeClear);
    WriteByte(kAcknowledge);
    port_.Purge(kPurgeClear);
    SleepMilliseconds(1);
    std::uint8_t reply = 0;
    if (!ReadByte(reply) || reply != kAcknowledge)
        return port_.HungUp() ? Connection::Disconnected : Connection::NoAnswer;
    return Connection::Connected;
}

bool RadioTransfer::Pump(int steps)
{
    for (int i = 0; i < steps; ++i) {
        if (pump_.PumpStep())
            return false;
    }
    return true;
}

bool RadioTransfer::ReadFrame(std::uint16_t address, std::uint8_t* data)
{
    const std::uint8_t request[4] = {kReadCommand, static_cast<std::uint8_t>(address >> 8),
                                     static_cast<std::uint8_t>(address & 0xFF), kFrameSize};
    port_.Purge(kPurgeClear);
    port_.Write(request, sizeof request);
    std::array<std::uint8_t, kReadReplySize> reply{};
    std::size_t received = 0;
    if (!port_.Read(reply.data(), reply.size(), received) || received < reply.size())
        return false;
    std::copy(reply.begin() + kReadReplyHeader, reply.end(), data);

    SleepMilliseconds(1);
    port_.Purge(kPurgeClear);
    WriteByte(kAcknowledge);
    std::uint8_t ack = 0;
    return ReadByte(ack) && ack == kAcknowledge;
}

bool RadioTransfer::WriteFrame(std::uint16_t address, const std::uint8_t* data)
{
    const std::uint8_t header[4] = {kWriteCommand, static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address & 0xFF), kFrameSize};
    port_.Purge(kPurgeClear);
    port_.Write(header, sizeof header);
    SleepMilliseconds(1);
    port_.Write(data, kFrameSize);
    std::uint8_t ack = 0;
    return ReadByte(ack) && ack == kAcknowledge;
}

bool RadioTransfer::ReadByte(std::uint8_t& byte, bool* callOk)
{
    std::size_t received = 0;
    const bool ok = port_.Read(&byte, 1, received);
    if (callOk)
        *callOk = ok;
    return ok && received == 1;
}

void RadioTransfer::WriteByte(std::uint8_t byte)
{
    // Write results are not examined: a dead line shows up as a missing answer.
    port_.Write(&byte, 1);
}

TransferResult& RadioTransfer::End(TransferResult& result, TransferOutcome outcome,
                                   std::optional<TransferMessage> shown)
{
    port_.Close();
    result.outcome = outcome;
    result.message = shown;
    result.identity = identity_;
    result.model = model_;
    return result;
}
