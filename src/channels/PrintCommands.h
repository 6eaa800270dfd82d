#pragma once
// The channel view's printing commands: Print (57607) through the print
// dialog, print without the dialog (57608) on the printer as it is set up,
// and Print Preview (57609) in a preview window. Each command takes the
// listing's content at the moment it runs, from the function the view gives,
// and prints on the application's printer, so Print Setup choices apply.
// Printing to a PDF file is the print dialog's choice of printer.
//
// The print dialog, the preview window and the report of a printer that
// cannot be drawn on go through the prompter.

#include "core/channels/PrintLayout.h"

#include <functional>
#include <memory>

class CCmdUI;
class QPrinter;
class QWidget;

class CPrintCommands
{
public:
    using ContentSource = std::function<ListingContent()>;
    using PrinterSource = std::function<QPrinter*()>;

    CPrintCommands(QWidget* parent, PrinterSource printer, ContentSource content);
    ~CPrintCommands();

    // Handles the three commands; false for any other id. While
    // m_isAvailable says no (a radio transfer runs) they are disabled.
    bool OnCmdMsg(int id, CCmdUI* ui);

    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

    std::function<bool()> m_isAvailable = [] { return true; };

private:
    // The printer the source gives, or one of this object's own when there
    // is no application to give one.
    QPrinter& Printer();
    void ReportFailure() const;

    QWidget* m_pParent;
    PrinterSource m_printer;
    ContentSource m_content;
    std::unique_ptr<QPrinter> m_pOwnPrinter;
};

// What a channel view prints: the texts its grid shows now (an editor's
// pending text is not among them), its document's feature bytes, the global
// device mode and language, and the running language's "Copyrights Owner".
ListingContent ViewListingContent(const ChannelTable& gridTexts, const RadioImage& image);
