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

#include "core/document/DataFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
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

pid_t Spawn(const std::vector<std::string>& argv, int out)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out, STDOUT_FILENO);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Runs program-cli to its end; returns the wall time in ms, or -1.
double TimeCli(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {PROGRAM_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    const int devNull = open("/dev/null", O_WRONLY);
    const auto start = Clock::now();
    const pid_t pid = Spawn(argv, devNull);
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    close(devNull);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

// Three radios in a row through program-cli fleet, straight on the line,
// from the simulator's own report of when each radio appeared, first
// answered and had been read back. Returns the mean time per radio from
// the first answer to the end of the verify, and the slowest first answer
// after a radio appeared (both in ms), or -1.
std::pair<double, double> TimeFleet(const std::string& dir, const std::string& radioFile)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {-1, -1};
    std::vector<std::string> args = {RADIO_SIM_PATH, "--pace", "--gap", "1500", "--stay", "1500"};
    for (int i = 0; i < 3; ++i)
        args.insert(args.end(), {"--row", radioFile});
    const pid_t sim = Spawn(args, fds[1]);
    close(fds[1]);
    std::string text;
    char c = 0;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        text += c;
    const int devNull = open("/dev/null", O_WRONLY);
    const pid_t cli =
        Spawn({PROGRAM_CLI_PATH, "fleet", radioFile, "--port", text, "--count", "3", "--log", dir + "/fleet.csv"}, devNull);
    close(devNull);
    double total = 0;
    double slowest = 0;
    int radios = 0;
    text.clear();
    while (radios < 3 && poll(&p, 1, 30000) > 0 && read(fds[0], &c, 1) == 1) {
        if (c != '\n') {
            text += c;
            continue;
        }
        double appeared = 0;
        double answered = 0;
        double verified = 0;
        if (std::sscanf(text.c_str(), "radio %*d: appeared %lf, answered %lf, verified %lf", &appeared, &answered,
                        &verified) == 3 &&
            verified > 0) {
            total += (verified - answered) * 1000;
            slowest = std::max(slowest, (answered - appeared) * 1000);
            ++radios;
        }
        text.clear();
    }
    close(fds[0]);
    if (radios < 3)
        kill(cli, SIGINT);  // a radio failed and stays: the run would wait for ever
    int status = 0;
    waitpid(cli, &status, 0);
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
    if (radios < 3 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
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

}  // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    bool check = false;
    bool fleetOnly = false;  // only the three radios in a row
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--check"))
            check = true;
        else if (!std::strcmp(argv[i], "--fleet-only"))
            fleetOnly = true;
    }

    const auto dir = std::filesystem::temp_directory_path() / ("transfer-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    // The copies every read leaves go into the scratch folder, not the user's.
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    const std::string radioFile = (dir / "radio.dat").string();
    const std::string readFile = (dir / "read.dat").string();
    const std::string savedFile = (dir / "saved.dat").string();
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
        int fds[2];
        if (pipe(fds) != 0)
            return 1;
        std::filesystem::remove(savedFile);
        const pid_t sim = Spawn({RADIO_SIM_PATH, "--pace", "--usb-latency", std::to_string(latency), "--image",
                                 radioFile, "--save", savedFile},
                                fds[1]);
        close(fds[1]);
        std::string device;
        char c = 0;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            device += c;
        close(fds[0]);

        std::vector<double> reads;
        std::vector<double> writes;
        bool ok = !device.empty();
        for (int run = 0; ok && run < runs; ++run) {
            const double r = TimeCli({"read", "--port", device, "-o", readFile});
            // Let the simulator notice the end of the session before the next one.
            usleep(20000);
            const double w = TimeCli({"write", "--port", device, readFile});
            usleep(20000);
            ok = r > 0 && w > 0;
            reads.push_back(r);
            writes.push_back(w);
            std::printf("%2d ms cable, run %d: read %.1f ms, write %.1f ms\n", latency, run + 1, r, w);
        }
        kill(sim, SIGTERM);
        waitpid(sim, nullptr, 0);

        RadioImage read{};
        RadioImage saved{};
        ok = ok && LoadDataFile(readFile, read) == DataFileResult::Ok &&
             LoadDataFile(savedFile, saved) == DataFileResult::Ok &&
             std::equal(radio.begin(), radio.begin() + ImageMap::kTransferEnd, read.begin()) &&
             std::equal(radio.begin(), radio.begin() + ImageMap::kTransferEnd, saved.begin());
        if (!ok) {
            std::filesystem::remove_all(dir);
            std::fprintf(stderr, "transfer_bench: a transfer failed or moved the wrong bytes\n");
            return 1;
        }
        rows.push_back({latency, Median(reads), Median(writes)});
    }
    const auto [fleetMs, fleetAnswerMs] = TimeFleet(dir.string(), radioFile);
    std::filesystem::remove_all(dir);
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
