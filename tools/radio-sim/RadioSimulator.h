#pragma once
// The radio's side of the programming protocol, byte by byte, without any
// notion of time or of the line: the caller feeds it what the host sends and
// puts its answers on the line.

#include "core/document/RadioImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RadioSimulatorOptions
{
    RadioImage memory{};                         // the radio's memory
    std::string identity = "P3207";              // first five bytes of the identity reply
    std::uint8_t model = 0xF5;                   // byte 7 of the identity reply
    std::size_t identityLength = 8;              // bytes of the identity reply actually sent
    bool earlyAnswer = false;                    // answer the wake-up after 'A' instead of after 'M'
    bool silent = false;                         // never answer
    int silentAttempts = 0;                      // wake-ups that get no answer before the radio answers
    std::uint8_t handshakeAck = 0x06;            // answer to the host's acknowledge of the identity
    std::optional<std::uint16_t> noAckAt;        // write frame left without acknowledge
    std::optional<std::uint16_t> wrongAckAt;     // write frame answered with a refusal (0x15), not stored
    std::optional<std::uint16_t> shortReplyAt;   // read reply cut to 11 bytes
    std::optional<std::uint16_t> wrongReadAckAt; // host's acknowledge of this read reply answered with 0x15
    std::optional<int> hangUpAfter;              // frames after which the line goes dead
    std::optional<std::uint16_t> badCell;        // memory byte that stores every value written to it inverted
};

class RadioSimulator
{
public:
    explicit RadioSimulator(RadioSimulatorOptions options);

    // Takes one byte from the host and appends the radio's answer, if any,
    // to reply. Returns false when the line must hang up now.
    bool Receive(std::uint8_t byte, std::vector<std::uint8_t>& reply);
    // The host has closed the line: whatever was going on is over.
    void LineClosed();

    const RadioImage& Memory() const { return options_.memory; }
    bool MemoryChanged() const { return memoryChanged_; }
    void MemorySaved() { memoryChanged_ = false; }
    int WakeUps() const { return wakeUps_; }
    // True when the last reply answered the acknowledge of the handshake,
    // after which the host clears its input before it reads.
    bool RepliedToHandshakeAck() const { return repliedToHandshakeAck_; }

private:
    enum class State {
        Idle,
        AwaitIdentityRequest,
        AwaitAcknowledge,
        Session,
        WriteFrame,
        ReadRequest,
        AwaitFrameAck,
        Deaf
    };

    void MatchWakeUp(std::uint8_t byte, std::vector<std::uint8_t>& reply);
    void FinishWriteFrame(std::vector<std::uint8_t>& reply);
    void FinishReadRequest(std::vector<std::uint8_t>& reply);
    std::uint16_t FrameAddress() const;

    RadioSimulatorOptions options_;
    State state_ = State::Idle;
    std::size_t wakeIndex_ = 0;
    bool attemptSilent_ = false;
    int wakeUps_ = 0;
    int frames_ = 0;                // frames completed since the last wake-up
    std::uint16_t readAddress_ = 0; // address of the read reply awaiting its acknowledge
    std::vector<std::uint8_t> frame_;
    bool memoryChanged_ = false;
    bool repliedToHandshakeAck_ = false;
};
