#pragma once
// A transfer run from a text console: messages go to a stream, one line
// each, Retry is answered a fixed number of times, Ctrl+C cancels at the
// next pump step and a progress bar is drawn when the stream is a terminal.

#include "core/link/RadioTransfer.h"

#include <iosfwd>
#include <string>
#ifndef _WIN32
#include <signal.h>
#endif

class ConsolePump final : public TransferPump
{
public:
    // Catches Ctrl+C (SIGINT; on Windows the console's Ctrl+C and
    // Ctrl+Break) while it lives.
    ConsolePump(std::ostream& err, bool drawProgress);
    ~ConsolePump() override;
    ConsolePump(const ConsolePump&) = delete;
    ConsolePump& operator=(const ConsolePump&) = delete;

    bool PumpStep() override;
    void SetProgress(int position) override;
    bool Interrupted() override;
    // Ends the progress bar's line, if one was drawn.
    void Finish();

private:
    std::ostream& err_;
    bool drawProgress_;
    bool barShown_ = false;
#ifndef _WIN32
    struct sigaction previousInterrupt_
    {};
#endif
};

class ConsolePrompter final : public TransferPrompter
{
public:
    // prefix starts every line ("program-cli read: "); the first retries
    // communication errors are answered with Retry, later ones with Cancel.
    // A progress bar that pump has drawn is ended before each message.
    ConsolePrompter(std::string prefix, int retries, std::ostream& err, ConsolePump* pump = nullptr);

    void ShowMessage(TransferMessage message) override;
    bool AskRetry(TransferMessage message) override;

private:
    std::string prefix_;
    int retries_;
    int retried_ = 0;
    std::ostream& err_;
    ConsolePump* pump_;
};

// Prints what a failed or cancelled transfer needs beyond the message the
// prompter has already shown, a line each: "cancelled", or the port failure
// with why the port could not be opened and how to get access to a device
// that exists but is not permitted; that the cable was disconnected; and
// that the radio holds only part of the new data after a partial write.
void ReportTransferEnd(const TransferResult& result, const std::string& device, const std::string& prefix,
                       std::ostream& err);
