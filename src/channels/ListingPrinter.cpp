#include "channels/ListingPrinter.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kTwipsPerInch = 1440;

qreal ToPixels(int twips, int dpi)
{
    return static_cast<qreal>(twips) * dpi / kTwipsPerInch;
}

// Cell height plus external leading of a font on the device, in twips.
int LineHeightTwips(const QFont& font, QPaintDevice* device)
{
    const QFontMetrics metrics(font, device);
    const int dpi = device->logicalDpiY();
    return dpi > 0 ? metrics.lineSpacing() * kTwipsPerInch / dpi : 0;
}

// Average character width as the classic TrueType definition has it: the
// widths of the lower-case letters and the space, weighted by how often
// each occurs in English text (the weights add up to 1000). Fonts whose own
// figure averages over every glyph would otherwise come out too narrow.
qreal AverageCharWidth(const QFontMetricsF& metrics)
{
    static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                         56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    qreal total = 166 * metrics.horizontalAdvance(QChar(' '));
    for (int i = 0; i < 26; ++i)
        total += kWeights[i] * metrics.horizontalAdvance(QChar('a' + i));
    return total / 1000;
}

} // namespace

CListingPrinter::CListingPrinter(ListingContent content)
    : m_content(std::move(content))
{
    OnPreparePrinting();
}

int CListingPrinter::OnPreparePrinting()
{
    m_lastPage = CountChannelPages(m_content.texts, m_breaks) + 1;
    return m_lastPage;
}

QFont CListingPrinter::ListingFont(const FontSize& size, QPaintDevice* device)
{
    QFont font;
    // The GB Song face comes before Noto CJK: Noto gives ideographs such as
    // 无 and 文 the glyph of their Kangxi radical twin, and the text of a PDF
    // made with it then reads the radical instead of the ideograph.
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("AR PL SungtiL GB"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setStyleHint(QFont::Serif);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPixelSize(std::max(1, qRound(ToPixels(size.height, device->logicalDpiY()))));

    // The face is widened or narrowed until its average character is as
    // wide as asked.
    const qreal natural = AverageCharWidth(QFontMetricsF(font, device));
    const qreal wanted = ToPixels(size.averageWidth, device->logicalDpiX());
    if (natural > 0 && wanted > 0)
        font.setStretch(std::clamp(qRound(100 * wanted / natural), 1, 4000));
    return font;
}

void CListingPrinter::OnPrint(QPainter& painter, int pageNumber)
{
    QPaintDevice* device = painter.device();
    const int dpiX = device->logicalDpiX();
    const int dpiY = device->logicalDpiY();
    const PageUnits units = ComputePageUnits({device->width(), device->height(), dpiX, dpiY});
    const QFont heading = ListingFont(ListingFontSize(units, FontRole::Heading), device);
    const QFont body = ListingFont(ListingFontSize(units, FontRole::Body), device);
    const LineHeights lines{LineHeightTwips(heading, device), LineHeightTwips(body, device)};
    const auto textWidth = [&](const std::string& text, FontRole role) {
        if (dpiX <= 0)
            return 0;
        const QFontMetricsF metrics(role == FontRole::Heading ? heading : body, device);
        return static_cast<int>(
            std::ceil(metrics.horizontalAdvance(QString::fromStdString(text)) * kTwipsPerInch / dpiX));
    };
    const ListingPage page = LayoutListingPage(m_content, units, lines, pageNumber, m_lastPage, textWidth);

    painter.save();
    // One twip wide, at least one device pixel.
    QPen pen(Qt::black);
    pen.setWidthF(std::max<qreal>(1.0, ToPixels(1, dpiY)));
    painter.setPen(pen);
    for (const Rule& rule : page.rules)
        painter.drawLine(QPointF(ToPixels(rule.x1, dpiX), ToPixels(-rule.y, dpiY)),
                         QPointF(ToPixels(rule.x2, dpiX), ToPixels(-rule.y, dpiY)));

    const qreal width = device->width();
    const qreal height = device->height();
    for (const TextRun& run : page.texts) {
        if (run.text.empty())
            continue;
        painter.setFont(run.font == FontRole::Heading ? heading : body);
        const QRectF box(ToPixels(run.x, dpiX), ToPixels(-run.y, dpiY), width, height);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                         QString::fromStdString(run.text));
    }
    painter.restore();
}

bool CListingPrinter::PrintPages(QPagedPaintDevice& device, int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, m_lastPage);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = first; page <= last; ++page) {
        if (page != first && !device.newPage()) {
            painter.end();
            return false;
        }
        OnPrint(painter, page);
    }
    return painter.end();
}

bool CListingPrinter::PrintRange(QPrinter& printer)
{
    const bool ranged = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    return PrintPages(printer, ranged ? printer.fromPage() : 1, ranged ? printer.toPage() : m_lastPage);
}
