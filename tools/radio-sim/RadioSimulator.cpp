#include "RadioSimulator.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 8> kWakeUp = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::uint8_t kAcknowledge = 0x06;
constexpr std::uint8_t kRefusal = 0x15; // what a radio says instead of an acknowledge
constexpr std::uint8_t kIdentityRequest = 0x02;
constexpr std::uint8_t kWakeUpAnswer = 0x06;
constexpr std::size_t kWriteFrameSize = 12; // 4 header bytes and 8 data bytes
constexpr std::size_t kReadRequestSize = 4;
constexpr std::size_t kFrameData = 8;

} // namespace

RadioSimulator::RadioSimulator(RadioSimulatorOptions options)
    : options_(std::move(options))
{}

bool RadioSimulator::Receive(std::uint8_t byte, std::vector<std::uint8_t>& reply)
{
    repliedToHandshakeAck_ = false;
    switch (state_) {
    case State::WriteFrame:
        frame_.push_back(byte);
        if (frame_.size() == kWriteFrameSize)
            FinishWriteFrame(reply);
        return true;
    case State::ReadRequest:
        frame_.push_back(byte);
        if (frame_.size() == kReadRequestSize)
            FinishReadRequest(reply);
        return true;
    default: break;
    }
    if (wakeIndex_ > 0 || (byte == kWakeUp[0] && state_ != State::AwaitIdentityRequest)) {
        MatchWakeUp(byte, reply);
        return true;
    }
    switch (state_) {
    case State::AwaitIdentityRequest:
        if (byte == kIdentityRequest) {
            std::vector<std::uint8_t> identity(options_.identity.begin(), options_.identity.end());
            identity.resize(5, 0x00);
            identity.insert(identity.end(), {0x00, 0x00, options_.model});
            identity.resize(std::min(identity.size(), options_.identityLength));
            reply.insert(reply.end(), identity.begin(), identity.end());
            state_ = State::AwaitAcknowledge;
        }
        break;
    case State::AwaitAcknowledge:
        if (byte == kAcknowledge) {
            reply.push_back(options_.handshakeAck);
            repliedToHandshakeAck_ = true;
            state_ = options_.handshakeAck == kAcknowledge ? State::Session : State::Deaf;
        }
        break;
    case State::Session:
        if (options_.hangUpAfter && frames_ >= *options_.hangUpAfter)
            return false;
        if (byte == 'W' || byte == 'R') {
            frame_.assign(1, byte);
            state_ = byte == 'W' ? State::WriteFrame : State::ReadRequest;
        }
        break;
    case State::AwaitFrameAck:
        if (byte == kAcknowledge) {
            if (options_.wrongReadAckAt == readAddress_) {
                reply.push_back(kRefusal);
                state_ = State::Deaf;
                break;
            }
            reply.push_back(kAcknowledge);
            ++frames_;
            state_ = State::Session;
        }
        break;
    default: break; // idle, or deaf after a refused frame: only a wake-up is heard
    }
    return true;
}

void RadioSimulator::LineClosed()
{
    state_ = State::Idle;
    wakeIndex_ = 0;
    frame_.clear();
}

void RadioSimulator::MatchWakeUp(std::uint8_t byte, std::vector<std::uint8_t>& reply)
{
    if (byte == kWakeUp[wakeIndex_])
        ++wakeIndex_;
    else
        wakeIndex_ = byte == kWakeUp[0] ? 1 : 0;

    if (wakeIndex_ == 7) { // after 'A'
        ++wakeUps_;
        attemptSilent_ = options_.silent || wakeUps_ <= options_.silentAttempts;
        if (options_.earlyAnswer && !attemptSilent_)
            reply.push_back(kWakeUpAnswer);
    } else if (wakeIndex_ == kWakeUp.size()) { // after 'M'
        wakeIndex_ = 0;
        frames_ = 0;
        state_ = attemptSilent_ ? State::Idle : State::AwaitIdentityRequest;
        if (!options_.earlyAnswer && !attemptSilent_)
            reply.push_back(kWakeUpAnswer);
    }
}

std::uint16_t RadioSimulator::FrameAddress() const
{
    return static_cast<std::uint16_t>(frame_[1] << 8 | frame_[2]);
}

void RadioSimulator::FinishWriteFrame(std::vector<std::uint8_t>& reply)
{
    const std::uint16_t address = FrameAddress();
    if (options_.noAckAt == address || options_.wrongAckAt == address) {
        if (options_.wrongAckAt == address)
            reply.push_back(kRefusal);
        state_ = State::Deaf;
        return;
    }
    if (address + kFrameData <= options_.memory.size()) {
        std::copy(frame_.begin() + 4, frame_.end(), options_.memory.begin() + address);
        if (options_.badCell && *options_.badCell >= address && *options_.badCell < address + kFrameData)
            options_.memory[*options_.badCell] = static_cast<std::uint8_t>(~options_.memory[*options_.badCell]);
        memoryChanged_ = true;
    }
    reply.push_back(kAcknowledge);
    ++frames_;
    state_ = State::Session;
}

void RadioSimulator::FinishReadRequest(std::vector<std::uint8_t>& reply)
{
    const std::uint16_t address = FrameAddress();
    readAddress_ = address;
    // The reply's header repeats the address the way a write frame does.
    reply.insert(reply.end(), {'W', frame_[1], frame_[2], static_cast<std::uint8_t>(kFrameData)});
    for (std::size_t i = 0; i < kFrameData; ++i)
        reply.push_back(address + i < options_.memory.size() ? options_.memory[address + i] : 0xFF);
    if (options_.shortReplyAt == address)
        reply.pop_back();
    state_ = State::AwaitFrameAck;
}
