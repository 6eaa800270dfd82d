// The printing commands on a PDF printer: what Print, print without the
// dialog and Print Preview put on the pages, and what a printer that cannot
// be written does.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/CmdTarget.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "channels/ListingPrinter.h"
#include "channels/MSFlexGrid.h"
#include "channels/PrintCommands.h"
#include "channels/ProgramView.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Channels on the given rows, both frequencies set.
ListingContent Listing(const std::vector<int>& rows)
{
    ListingContent content;
    content.texts = NewChannelTable(false);
    for (int r : rows) {
        content.texts[static_cast<std::size_t>(r)][kColRxFrequency] = "146.52500";
        content.texts[static_cast<std::size_t>(r)][kColTxFrequency] = "146.02500";
    }
    content.image.fill(0);
    content.owner = "Test Owner";
    return content;
}

// The text of each page of a PDF.
QStringList PdfPages(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished() || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QChar('\f'));
    pages.removeLast(); // after the last form feed
    return pages;
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void printWithoutDialogPrintsEveryPage();
    void printDialogChoosesThePages_data();
    void printDialogChoosesThePages();
    void previewShowsEveryPage();
    void unwritablePrinterIsReported();
    void viewPrintsWhatItsGridShows();

private:
    QString PdfPath() const { return m_dir.filePath(QStringLiteral("out.pdf")); }

    TestTempDir m_dir;
    QPrinter m_printer{QPrinter::HighResolution};
    CScriptedPrompter m_prompter;
    ListingContent m_content;
    std::unique_ptr<CPrintCommands> m_commands;
};

void PrintingTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
}

void PrintingTest::init()
{
    ResetGlobals();
    SetPrompter(&m_prompter);
    m_prompter.messages.clear();
    m_prompter.printDialog = nullptr;
    m_prompter.printPreview = nullptr;
    QFile::remove(PdfPath());
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(PdfPath());
    m_printer.setPageSize(QPageSize(QPageSize::A4));
    m_content = Listing({1, 2, 3, 4, 5, 6, 7, 8, 9});
    m_commands = std::make_unique<CPrintCommands>(
        nullptr, [this] { return &m_printer; }, [this] { return m_content; });
}

void PrintingTest::cleanup()
{
    m_commands.reset();
    SetPrompter(nullptr);
}

void PrintingTest::printWithoutDialogPrintsEveryPage()
{
    // A page range left over from an earlier dialog does not apply.
    m_printer.setPrintRange(QPrinter::PageRange);
    m_printer.setFromTo(2, 2);
    QVERIFY(m_commands->OnCmdMsg(Ids::ID_FILE_PRINT_DIRECT, nullptr));
    const QStringList pages = PdfPages(PdfPath());
    QCOMPARE(pages.size(), 3);
    QVERIFY(pages[0].contains("Test Owner") && pages[0].contains("Page 1 of 3"));
    QVERIFY(pages[2].contains("Channel 9:") && pages[2].contains("Page 3 of 3"));
    QVERIFY(m_prompter.messages.isEmpty());
}

void PrintingTest::printDialogChoosesThePages_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("feet");

    QTest::newRow("all") << true << 0 << 0 << QStringList{"Page 1 of 3", "Page 2 of 3", "Page 3 of 3"};
    QTest::newRow("the last page") << true << 3 << 3 << QStringList{"Page 3 of 3"};
    QTest::newRow("beyond the listing") << true << 2 << 9 << QStringList{"Page 2 of 3", "Page 3 of 3"};
    QTest::newRow("cancelled") << false << 0 << 0 << QStringList{};
}

void PrintingTest::printDialogChoosesThePages()
{
    QFETCH(bool, accept);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, feet);

    int offered = 0;
    m_prompter.printDialog = [&](QPrinter& printer, int lastPage) {
        offered = lastPage;
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return accept;
    };
    QVERIFY(m_commands->OnCmdMsg(Ids::ID_FILE_PRINT, nullptr));
    QCOMPARE(offered, 3);
    QCOMPARE(QFile::exists(PdfPath()), accept);
    if (!accept)
        return;
    const QStringList pages = PdfPages(PdfPath());
    QCOMPARE(pages.size(), feet.size());
    for (int i = 0; i < feet.size(); ++i)
        QVERIFY2(pages[i].contains(feet[i]), qPrintable(pages[i]));
}

void PrintingTest::previewShowsEveryPage()
{
    // A transmitter's grid: only the Tx cells hold frequencies.
    m_content = Listing({});
    for (int r : {3, 5, 12})
        m_content.texts[static_cast<std::size_t>(r)][kColTxFrequency] = "150.00000";
    int pages = -1;
    m_prompter.printPreview = [&](QPrintPreviewDialog& preview) {
        auto* widget = preview.findChild<QPrintPreviewWidget*>();
        QVERIFY(widget);
        widget->updatePreview();
        pages = widget->pageCount();
    };
    QVERIFY(m_commands->OnCmdMsg(Ids::ID_FILE_PRINT_PREVIEW, nullptr));
    QCOMPARE(pages, 2);
    QVERIFY(!QFile::exists(PdfPath()));
}

void PrintingTest::unwritablePrinterIsReported()
{
    m_printer.setOutputFileName(m_dir.filePath(QStringLiteral("missing/out.pdf")));
    m_commands->OnCmdMsg(Ids::ID_FILE_PRINT_DIRECT, nullptr);
    QCOMPARE(m_prompter.messages.size(), 1);
    QVERIFY(m_prompter.messages[0].text.contains("could not be printed"));
}

void PrintingTest::viewPrintsWhatItsGridShows()
{
    SetPrompter(nullptr);
    CTestInstall install;
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    frame->activateWindow();
    CProgramView* view = frame->MDIGetActive()->GetActiveView();
    CMSFlexGrid* grid = view->Grid();
    QPrinter* printer = install.App()->Printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(PdfPath());

    // Device mode 2 at start-up: the transmit side only. Channel 1 gets a Tx
    // frequency; channel 3's typed value is still open in its editor, and
    // printing takes it as a save would.
    auto type = [&](int row, const char* text, bool enter) {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, kColTxFrequency - 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClicks(QApplication::focusWidget(), text);
        if (enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    type(1, "145.5", true);
    type(3, "146", false);
    QCOMPARE(grid->GetTextMatrix(1, kColRxFrequency), QString());

    CCmdUI state(Ids::ID_FILE_PRINT_PREVIEW);
    QVERIFY(frame->RouteCommand(Ids::ID_FILE_PRINT_PREVIEW, &state));
    QVERIFY(state.m_bEnabled);
    QVERIFY(frame->RouteCommand(Ids::ID_FILE_PRINT_DIRECT, nullptr));
    const QStringList pages = PdfPages(PdfPath());
    QCOMPARE(pages.size(), 2);
    QVERIFY2(pages[1].contains("Channel 1:") && pages[1].contains("145.50000"), qPrintable(pages[1]));
    QVERIFY2(pages[1].contains("Channel 3:") && pages[1].contains("146.00000"), qPrintable(pages[1]));
    QVERIFY(pages[0].contains("Quillmark Radio Communications"));
    QVERIFY(install.prompter.messages.isEmpty());

    // While a radio transfer runs the commands are disabled and do nothing.
    QFile::remove(PdfPath());
    view->SetEditingBlocked(true);
    QVERIFY(frame->RouteCommand(Ids::ID_FILE_PRINT_PREVIEW, &state));
    QVERIFY(!state.m_bEnabled);
    frame->RouteCommand(Ids::ID_FILE_PRINT_DIRECT, nullptr);
    QVERIFY(!QFile::exists(PdfPath()));
}

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
