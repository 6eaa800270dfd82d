#pragma once
// What the link tests share: images and their files, the lines of the wire
// log, a recording prompter and an idle pump, and the radio on a simulated
// line in this process, on which most cases run, once straight on the line
// and once through a modelled USB cable.

#include "LinkHarness.h"
#include "SimulatedSerialPort.h"
#include "support/TestImages.h"

#include "TransferVerb.h"
#include "Verbs.h"
#include "core/document/DataFile.h"
#include "core/document/RadioImage.h"
#include "core/link/RadioTransfer.h"
#include "core/link/Timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace linktest {

inline std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

inline std::string SaveImageFile(const TempDir& dir, const std::string& name, const RadioImage& image)
{
    const std::string path = dir.File(name);
    EXPECT_EQ(SaveDataFile(path, image), DataFileResult::Ok);
    return path;
}

inline RadioImage LoadImageFile(const std::string& path)
{
    RadioImage image{};
    EXPECT_EQ(LoadDataFile(path, image), DataFileResult::Ok) << path;
    return image;
}

inline std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char buffer[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, " %02X", b);
        text += buffer;
    }
    return text;
}

// The wire log without its event lines ("# ..."): one line per run of bytes
// in one direction, "> .." from the host and "< .." from the radio.
inline std::vector<std::string> WireLines(const std::vector<std::string>& log)
{
    std::vector<std::string> lines;
    std::copy_if(log.begin(), log.end(), std::back_inserter(lines),
                 [](const std::string& line) { return !line.empty() && line[0] != '#'; });
    return lines;
}

// The same from the log file of a radio-sim started with --log.
inline std::vector<std::string> WireLines(const std::string& logPath)
{
    std::vector<std::string> lines;
    std::istringstream in(ReadText(logPath));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return WireLines(lines);
}

// The lines of a good handshake with a radio that answers late.
inline std::vector<std::string> HandshakeLines(const std::vector<std::uint8_t>& identity)
{
    return {"> 02 50 52 4F 47 52 41 4D", "< 06", "> 02", "<" + Hex(identity), "> 06", "< 06"};
}

inline std::vector<std::uint8_t> Identity(const std::string& ident, std::uint8_t model)
{
    // The ident, two bytes the host ignores, then the model code.
    std::vector<std::uint8_t> bytes(ident.size() + 3, 0x00);
    std::copy(ident.begin(), ident.end(), bytes.begin());
    bytes.back() = model;
    return bytes;
}

inline std::vector<std::uint8_t> Slice(const RadioImage& image, std::size_t offset, std::size_t size)
{
    return {image.begin() + static_cast<long>(offset), image.begin() + static_cast<long>(offset + size)};
}

inline std::vector<std::uint8_t> Header(std::uint8_t command, std::size_t address)
{
    return {command, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), 0x08};
}

// Frames of a read of memory, from address 0 up to (not including) end.
inline std::vector<std::string> ReadFrameLines(const RadioImage& memory, std::size_t end = ImageMap::kTransferEnd)
{
    std::vector<std::string> lines;
    for (std::size_t address = 0; address < end; address += 8) {
        auto reply = Header('W', address);
        const auto data = Slice(memory, address, 8);
        reply.insert(reply.end(), data.begin(), data.end());
        lines.insert(lines.end(), {">" + Hex(Header('R', address)), "<" + Hex(reply), "> 06", "< 06"});
    }
    return lines;
}

// Frames of a write of image, from address 0 up to (not including) end.
inline std::vector<std::string> WriteFrameLines(const RadioImage& image, std::size_t end = ImageMap::kTransferEnd)
{
    std::vector<std::string> lines;
    for (std::size_t address = 0; address < end; address += 8) {
        auto frame = Header('W', address);
        const auto data = Slice(image, address, 8);
        frame.insert(frame.end(), data.begin(), data.end());
        lines.insert(lines.end(), {">" + Hex(frame), "< 06"});
    }
    return lines;
}

inline std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Records what the engine shows and answers Cancel to every Retry.
class RecordingPrompter : public TransferPrompter
{
public:
    void ShowMessage(TransferMessage message) override { shown.push_back(message); }
    bool AskRetry(TransferMessage message) override
    {
        shown.push_back(message);
        return false;
    }
    std::vector<TransferMessage> shown;
};

// A pump with nothing to do and no user to cancel.
class IdlePump : public TransferPump
{
public:
    bool PumpStep() override { return false; }
};

// A radio on a simulated line in this process. While it lives, the waits of
// the engine on this thread pass on the line's clock, so a transfer takes
// no real time.
class SimulatedLink
{
public:
    explicit SimulatedLink(SimulatedLineOptions options)
        : m_radio(std::move(options))
        , m_waits([this](std::chrono::milliseconds wait) { m_radio.Wait(wait); })
    {}
    SimulatedRadio& Radio() { return m_radio; }
    const std::string& Device() const { return m_radio.Device(); }
    const RadioImage& Memory() const { return m_radio.Memory(); }
    std::vector<std::string> Lines() const { return WireLines(m_radio.Log()); }

private:
    SimulatedRadio m_radio;
    SimulatedWaits m_waits;
};

// Runs the program-cli verb args[0] (read or write) in this process, its
// transfers on the radio of link; like RunCli, reads leave their copies in
// dir.
inline CliRun RunCliOn(SimulatedLink& link, const TempDir& dir, std::vector<std::string> args)
{
    UseDataFolder(dir);
    SimulatedRadio& radio = link.Radio();
    const cli::SerialPortMaker previous =
        cli::SetSerialPortMaker([&radio] { return std::make_unique<SimulatedSerialPort>(radio); });
    const cli::Verb& verb = args.at(0) == "read" ? cli::kReadVerb : cli::kWriteVerb;
    EXPECT_TRUE(args[0] == verb.name) << args[0];
    args.erase(args.begin());
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = verb.run(args, out, err);
    run.out = out.str();
    run.err = err.str();
    cli::SetSerialPortMaker(previous);
    return run;
}

// The cases on a simulated line run twice: straight on the line, and through
// a modelled USB cable that hands the radio's bytes on every 16 ms, as an
// FTDI chip does by default. The parameter is the cable's latency.
class SimulatedLineTest : public testing::TestWithParam<int>
{
protected:
    SimulatedLineOptions Line(RadioSimulatorOptions radio = {}) const
    {
        SimulatedLineOptions options;
        options.radio = std::move(radio);
        options.usbLatencyMs = GetParam();
        return options;
    }
};

// A radio as radio-sim starts it: an erased memory unless given one.
inline RadioSimulatorOptions Erased()
{
    RadioSimulatorOptions radio;
    radio.memory.fill(0xFF);
    return radio;
}

inline RadioSimulatorOptions Holding(const RadioImage& memory)
{
    RadioSimulatorOptions radio;
    radio.memory = memory;
    return radio;
}

inline std::string CableName(const testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? "Line" : "Usb" + std::to_string(info.param) + "ms";
}

#define INSTANTIATE_CABLES(suite) INSTANTIATE_TEST_SUITE_P(Cables, suite, testing::Values(0, 16), linktest::CableName)

} // namespace linktest
