#include "channels/PrintCommands.h"

#include "base/CmdTarget.h"
#include "base/Globals.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "channels/ListingPrinter.h"

#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <utility>

CPrintCommands::CPrintCommands(QWidget* parent, PrinterSource printer, ContentSource content)
    : m_pParent(parent)
    , m_printer(std::move(printer))
    , m_content(std::move(content))
{}

CPrintCommands::~CPrintCommands() = default;

bool CPrintCommands::OnCmdMsg(int id, CCmdUI* ui)
{
    void (CPrintCommands::*handler)() = nullptr;
    switch (id) {
    case Ids::ID_FILE_PRINT: handler = &CPrintCommands::OnFilePrint; break;
    case Ids::ID_FILE_PRINT_DIRECT: handler = &CPrintCommands::OnFilePrintDirect; break;
    case Ids::ID_FILE_PRINT_PREVIEW: handler = &CPrintCommands::OnFilePrintPreview; break;
    default: return false;
    }
    const bool available = m_isAvailable();
    if (ui)
        ui->Enable(available);
    else if (available)
        (this->*handler)();
    return true;
}

void CPrintCommands::OnFilePrint()
{
    CListingPrinter listing(m_content());
    QPrinter& printer = Printer();
    const int lastPage = listing.OnPreparePrinting();
    printer.setPrintRange(QPrinter::AllPages);
    // The job is named after the document; PDF output is proposed as
    // <document name>.pdf in the document's folder (a new document has none:
    // the dialog's own folder then).
    const QFileInfo document(m_documentPath());
    printer.setDocName(document.completeBaseName());
    const QString pdfFile =
        document.isAbsolute() ? document.absolutePath() + '/' + document.completeBaseName() + ".pdf" : QString();
    if (!Prompter().PrintDialog(m_pParent, printer, lastPage, pdfFile))
        return;
    if (!listing.PrintRange(printer))
        ReportFailure();
}

void CPrintCommands::OnFilePrintDirect()
{
    CListingPrinter listing(m_content());
    QPrinter& printer = Printer();
    printer.setPrintRange(QPrinter::AllPages);
    if (!listing.PrintRange(printer))
        ReportFailure();
}

void CPrintCommands::OnFilePrintPreview()
{
    CListingPrinter listing(m_content());
    QPrinter& printer = Printer();
    QPrintPreviewDialog preview(&printer, m_pParent);
    preview.setWindowTitle(Lang("Print Preview", "打印预览"));
    if (m_pParent)
        preview.resize(m_pParent->window()->size() * 0.9);
    // The preview shows every page, and its Print button prints every page.
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&listing](QPrinter* target) { listing.PrintPages(*target, 1, listing.LastPage()); });
    Prompter().PrintPreview(preview);
}

QPrinter& CPrintCommands::Printer()
{
    if (QPrinter* printer = m_printer ? m_printer() : nullptr)
        return *printer;
    if (!m_pOwnPrinter)
        m_pOwnPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pOwnPrinter;
}

void CPrintCommands::ReportFailure() const
{
    AppMessageBox(Lang("The listing could not be printed: no printer is available or the file cannot be written.",
                       "无法打印：没有可用的打印机，或文件无法写入。"),
                  PromptButtons::Ok, PromptIcon::Stop);
}

ListingContent ViewListingContent(const ChannelTable& gridTexts, const RadioImage& image)
{
    ListingContent content;
    content.texts = gridTexts;
    content.image = image;
    content.chinese = IsChinese();
    content.owner = LanguageText("Copyrights Owner").toStdString();
    return content;
}
