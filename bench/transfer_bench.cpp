// A full read and a full write through program-cli against radio-sim with
// pacing on, compared with the least time the wire allows: every byte at
// 9600 baud 8N1 (10 bits) plus the protocol's fixed waits. Each is timed
// straight on the line and through a modelled USB cable whose chip hands
// the radio's bytes on every 1 ms (low latency) and every 16 ms (an FTDI
// chip's default). Then three radios in a row through program-cli fleet,
// straight on the line: the time per radio from its first answer to the
// end of its verify, against read + write + read.
//
//   transfer_bench [--runs N] [--check] [--fleet-only]
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

// Three radios in a row through program-cli fleet, straight on the line,
// from the simulator's own report of when each radio appeared, first
// answered and had been read back. Returns the mean time per radio from
// the first answer to the end of the verify, and the slowest first answer
// after a radio appeared (both in ms), or -1.
std::pair<double, double> TimeFleet(const linktest::TempDir& dir, const std::string& radioFile)
{
    std::vector<std::string> options = {"--pace", "--gap", "1500", "--stay", "1500"};
    for (int i = 0; i < 3; ++i)
        options.insert(options.end(), {"--row", radioFile});
    linktest::Sim sim(options);
    if (sim.Device().empty())
        return {-1, -1};
    linktest::CliRun run;
    std::thread cli([&] {
        run = linktest::RunCli(
            dir, {"fleet", radioFile, "--port", sim.Device(), "--count", "3", "--log", dir.File("fleet.csv")});
    });
    double total = 0;
    double slowest = 0;
    int radios = 0;
    std::string line;
    while (radios < 3 && sim.ReadLine(line, std::chrono::seconds(30))) {
        double appeared = 0;
        double answered = 0;
        double verified = 0;
        if (std::sscanf(line.c_str(), "radio %*d: appeared %lf, answered %lf, verified %lf", &appeared, &answered,
                        &verified) == 3 &&
            verified > 0) {
            total += (verified - answered) * 1000;
            slowest = std::max(slowest, (answered - appeared) * 1000);
            ++radios;
        }
    }
    // A radio that failed stays on the line and the run would wait for the
    // next one: without the simulator it ends, at the latest at the
    // harness's time limit.
    if (radios < 3)
        sim.Stop();
    cli.join();
    sim.Stop();
    if (radios < 3 || run.status != 0)
        return {-1, -1};
    return {total / radios, slowest};
}

// Read, write and read back, less what comes before the first answer of
// the first handshake (its waits and the wake-up's 8 bytes), which the
// time from the first answer does not include.
double FleetMinimumMs()
{
    return 2 * ReadMinimumMs() + WriteMinimumMs() - (6 + 16 + 140 + 8 * kByteMs);
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
    bool fleetOnly = false; // only the three radios in a row
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--check"))
            check = true;
        else if (!std::strcmp(argv[i], "--fleet-only"))
            fleetOnly = true;
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
        if (fleetOnly)
            break;
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
    const auto [fleetMs, fleetAnswerMs] = TimeFleet(dir, radioFile);
    if (fleetMs < 0) {
        std::fprintf(stderr, "transfer_bench: the run of three radios failed\n");
        return 1;
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
    const double fleetRatio = fleetMs / FleetMinimumMs();
    std::printf("%-20s %10.1f %12.1f %7.3f\n", "fleet, per radio", fleetMs, FleetMinimumMs(), fleetRatio);
    std::printf("fleet: slowest first answer %.0f ms after a radio appeared (goal 600)\n", fleetAnswerMs);
    met = met && fleetRatio <= kTarget && fleetAnswerMs <= 600;
    std::printf("target %.2f on the line: %s\n", kTarget, met ? "met" : "missed");
    return check && !met ? 1 : 0;
}
