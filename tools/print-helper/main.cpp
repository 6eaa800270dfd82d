// program-print FILE.dat -o OUT.pdf --lang en|zh [--mode 0|1|2] [--ini Program.ini]
//
// Writes the printed listing of a data file as an A4 PDF: the channel texts
// as the channel window shows them in the device mode (default 2), the feature values of
// the image, and the "Copyrights Owner" of the language's section of the
// configuration file in the foot. Run by "program-cli print", which has
// checked the arguments already; errors are one line on the error output.

#include "Cli.h"
#include "base/Globals.h"
#include "channels/ListingPrinter.h"
#include "core/app/IniFile.h"
#include "core/util/AtomicFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <iostream>

namespace {

// Margins of the printable area, as a typical printer leaves them.
constexpr qreal kMarginMillimetres = 10;
constexpr int kResolution = 1200;

int Run(const std::vector<std::string>& args)
{
    cli::Arguments a;
    bool chinese = false;
    int mode = 2;
    if (!cli::ParseArguments(args, {"-o", "--lang", "--ini", "--mode"}, {}, a, std::cerr) ||
        !cli::ParseLanguage(a, chinese, std::cerr) || !cli::ParseDeviceMode(a, mode, std::cerr) ||
        a.positional.size() != 1 || !a.Value("-o"))
        return cli::UsageError(
            "print", "expected FILE.dat -o OUT.pdf [--lang en|zh] [--mode 0|1|2] [--ini Program.ini]", std::cerr);

    RadioImage image{};
    if (!cli::LoadImage("print", a.positional[0], image, std::cerr))
        return cli::kExitFailed;
    ListingContent content = ImageListing(image, mode, chinese, {});
    if (const auto ini = a.Value("--ini")) {
        CIniFile store;
        if (!store.Load(*ini, false, true))
            return cli::Failure("print", *ini + ": cannot read the configuration file", std::cerr);
        content.owner =
            ConfigText(store.GetValue(chinese ? "Chinese" : "English", "Copyrights Owner", "")).toStdString();
    }

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
                        QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("program-cli print"));
        CListingPrinter printer(content);
        if (!printer.PrintPages(writer, 1, printer.LastPage()))
            return cli::Failure("print", "cannot draw the listing", std::cerr);
    }
    std::string error;
    if (!WriteFileAtomically(*a.Value("-o"), pdf.data().constData(), static_cast<std::size_t>(pdf.size()), &error))
        return cli::Failure("print", error, std::cerr);
    return cli::kExitOk;
}

// Qt's notes (a missing runtime directory and the like) are no concern of
// the user; the helper reports its own failures in one line.
void DropNotes(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << "\n";
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(&DropNotes);
    // Drawing a PDF needs fonts but no screen. Windows's own platform needs
    // no screen either and brings the system's fonts.
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    QGuiApplication app(argc, argv);
    return Run(args);
}
