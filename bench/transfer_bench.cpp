// A full read and a full write through program-cli against radio-sim with
// pacing on, compared with the least time the wire allows: every byte at
// 9600 baud 8N1 (10 bits) plus the protocol's fixed waits. Each is timed
// straight on the line and through a modelled USB cable whose chip hands
// the radio's bytes on every 1 ms (low latency) and every 16 ms (an FTDI
// chip's default).
//
//   transfer_bench [--runs N] [--check]
// --check exits 1 when a median ratio straight on the line is above the
// target of 1.05.

#include "LinkHarness.h"

#include "core/document/DataFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;
constexpr double kTarget = 1.05;
constexpr int kFrames = 102;

// Wake-up 8, its answer 1, identity request 1 and reply 8, acknowledge and
// its answer 2.
constexpr int kHandshakeBytes = 20;
// Six 1 ms pump waits, eight 2 ms waits before the wake-up bytes, 2 ms
// around the identity request, 1 ms before the answer to the acknowledge,
// and the 1-byte read after the seventh wake-up byte, which times out after
// 140 ms since the radio answers after the eighth.
constexpr double kHandshakeWaitMs = 6 + 16 + 2 + 1 + 140;

double ReadMinimumMs()
{
    // Per frame: request 4, reply 12, acknowledge 1, answer 1; 1 ms before
    // each acknowledge and 1 ms before each second half of a block.
    return (kHandshakeBytes + kFrames * 18) * kByteMs + kHandshakeWaitMs + kFrames * 1 + kFrames / 2 * 1;
}

double WriteMinimumMs()
{
    // Per frame: header 4, data 8, acknowledge 1; 1 ms between header and data.
    return (kHandshakeBytes + kFrames * 13) * kByteMs + kHandshakeWaitMs + kFrames * 1;
}

// Runs program-cli to its end; returns the wall time in ms, or -1.
double TimeCli(const linktest::TempDir& dir, const std::vector<std::string>& args)
{
    const auto start = Clock::now();
    const linktest::CliRun run = linktest::RunCli(dir, args);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return run.status == 0 ? ms : -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--check"))
            check = true;
    }

    // The copies every read leaves go into the scratch folder, not the user's.
    const linktest::TempDir dir;
    const std::string radioFile = dir.File("radio.dat");
    const std::string readFile = dir.File("read.dat");
    const std::string savedFile = dir.File("saved.dat");
    RadioImage radio{};
    for (std::size_t i = 0; i < radio.size(); ++i)
        radio[i] = static_cast<std::uint8_t>(i * 13 + 5);
    SaveDataFile(radioFile, radio);

    struct Row
    {
        int latency;
        double readMs;
        double writeMs;
    };
    std::vector<Row> rows;
    for (const int latency : {0, 1, 16}) {
        std::remove(savedFile.c_str());
        linktest::Sim sim(
            {"--pace", "--usb-latency", std::to_string(latency), "--image", radioFile, "--save", savedFile});
        const std::string device = sim.Device();

        std::vector<double> reads;
        std::vector<double> writes;
        bool ok = !device.empty();
        for (int run = 0; ok && run < runs; ++run) {
            const double r = TimeCli(dir, {"read", "--port", device, "-o", readFile});
            // Let the simulator notice the end of the session before the next one.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const double w = TimeCli(dir, {"write", "--port", device, readFile});
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ok = r > 0 && w > 0;
            reads.push_back(r);
            writes.push_back(w);
            std::printf("%2d ms cable, run %d: read %.1f ms, write %.1f ms\n", latency, run + 1, r, w);
        }
        sim.Stop();

        RadioImage read{};
        RadioImage saved{};
        ok = ok && LoadDataFile(readFile, read) == DataFileResult::Ok &&
             LoadDataFile(savedFile, saved) == DataFileResult::Ok &&
             std::equal(radio.begin(), radio.begin() + ImageMap::kTransferEnd, read.begin()) &&
             std::equal(radio.begin(), radio.begin() + ImageMap::kTransferEnd, saved.begin());
        if (!ok) {
            std::fprintf(stderr, "transfer_bench: a transfer failed or moved the wrong bytes\n");
            return 1;
        }
        rows.push_back({latency, Median(reads), Median(writes)});
    }

    std::printf("\n%-20s %10s %12s %7s\n", "", "median ms", "wire min ms", "ratio");
    bool met = true;
    for (const Row& row : rows) {
        const double readRatio = row.readMs / ReadMinimumMs();
        const double writeRatio = row.writeMs / WriteMinimumMs();
        const std::string cable = row.latency == 0 ? "line" : std::to_string(row.latency) + " ms cable";
        std::printf("%-20s %10.1f %12.1f %7.3f\n", ("read, " + cable).c_str(), row.readMs, ReadMinimumMs(), readRatio);
        std::printf("%-20s %10.1f %12.1f %7.3f\n", ("write, " + cable).c_str(), row.writeMs, WriteMinimumMs(),
                    writeRatio);
        if (row.latency == 0)
            met = readRatio <= kTarget && writeRatio <= kTarget;
    }
    std::printf("target %.2f on the line: %s\n", kTarget, met ? "met" : "missed");
    return check && !met ? 1 : 0;
}
