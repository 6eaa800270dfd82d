#include "app/ProgramApp.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// --help and --version answer on standard output before anything needs a
// display, so they work in a terminal without one.
bool AnswerInformationOption(int argc, char* argv[])
{
    if (argc != 2)
        return false;
    const char* option = argv[1];
    if (std::strcmp(option, "--version") == 0) {
        std::printf("radio-programmer " PROGRAM_VERSION "\n");
        return true;
    }
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::printf("Usage: radio-programmer [FILE.dat]\n"
                    "Programming tool for the QM-350 handheld two-way radio: edits the channels,\n"
                    "features, radio type and band of a radio image, keeps it in *.dat files,\n"
                    "reads it from and writes it to the radio over a serial programming cable,\n"
                    "and prints a listing.\n"
                    "\n"
                    "  FILE.dat     open this data file (without one, a new document)\n"
                    "  -h, --help   show this text and exit\n"
                    "  --version    show the version and exit\n"
                    "\n"
                    "Program.ini beside the program holds the radio types, bands and the language;\n"
                    "per-user settings are kept in $XDG_CONFIG_HOME/radio-programmer/ (usually\n"
                    "~/.config). See also program-cli(1) and radio-sim(1).\n");
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (AnswerInformationOption(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    QApplication application(argc, argv);
    CProgramApp app(QCoreApplication::arguments(), QCoreApplication::applicationFilePath());
    if (!app.InitInstance()) {
        app.ExitInstance();
        return 1;
    }
    QApplication::exec();
    return app.ExitInstance();
}
