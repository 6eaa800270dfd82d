#pragma once
// Draws the printed listing on a paint device with pages: a printer, the
// print preview's printer or a PDF writer. The page layout (what text goes
// where) is the core's; this class creates the two fonts on the device,
// measures their line heights and draws the text runs and rules, mapping
// twips to device pixels at the device's resolution with the origin at the
// top-left of the printable area.
//
// It takes everything it prints as a ListingContent and reads no global, so
// the desktop program and the command-line print helper draw alike.

#include "core/channels/PrintLayout.h"

#include <QFont>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

class CListingPrinter
{
public:
    explicit CListingPrinter(ListingContent content);

    const ListingContent& Content() const { return m_content; }

    // Counts the channel pages (the breaks are kept) and returns the number of
    // the last page of the listing: the channel pages plus the options page.
    int OnPreparePrinting();
    int LastPage() const { return m_lastPage; }

    // Draws one page on a painter that is active on the device.
    void OnPrint(QPainter& painter, int pageNumber);

    // Draws the pages first..last (clamped to the listing) on a device whose
    // painter is not yet begun; a new device page for each page after the
    // first. False when the device cannot be painted on (no printer, a file
    // that cannot be written).
    bool PrintPages(QPagedPaintDevice& device, int first, int last);
    // The pages the printer's range names (all of them when it names none).
    bool PrintRange(QPrinter& printer);

    // The listing font of a size on a device: "Times New Roman" or its
    // nearest face, Latin faces before the CJK ones so that digits stay
    // Latin glyphs in PDFs.
    static QFont ListingFont(const FontSize& size, QPaintDevice* device);

private:
    ListingContent m_content;
    ChannelPageBreaks m_breaks;
    int m_lastPage = 1;
};
