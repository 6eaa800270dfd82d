#pragma once
// The printed listing of a radio's settings, laid out page by page as text
// runs and horizontal rules. Page 1 lists the optional features of the radio
// image; the pages after it list the programmed channels of a channel table
// (the texts the grid shows), eight channels a page, at most two pages.
//
// Positions are in twips (1440 a inch) with the origin at the top-left corner
// of the printable area and y growing upwards, so everything on the page has
// a negative y. Every text run is placed by its top-left corner.
//
// Left to the caller: the fonts and the drawing. The layout names the size of
// the heading and the body font for a page (ListingFontSize); the caller
// creates them on its device, hands back their line heights (cell height plus
// external leading, in twips) and draws the runs in the named font.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/channels/ChannelTable.h"
#include "core/document/RadioImage.h"

// The printable area of a page in device pixels and the device resolution in
// pixels per inch.
struct PrintArea
{
    int widthPixels = 0;
    int heightPixels = 0;
    int dpiX = 0;
    int dpiY = 0;
};

// Page size in twips and the two units everything is measured in: the column
// unit u = W / 66 and the line unit v = H / 45.
struct PageUnits
{
    int W = 0;
    int H = 0;
    int u = 0;
    int v = 0;
};

// W = w * 1440 / dpiX and H = h * 1440 / dpiY, division last; 0 for a
// resolution of 0.
PageUnits ComputePageUnits(const PrintArea& area);

enum class FontRole { Heading, Body };

// Character height and average character width in twips: the heading font is
// v high and u wide, the body font 0.8 of each, truncated.
struct FontSize
{
    int height = 0;
    int averageWidth = 0;
};
FontSize ListingFontSize(const PageUnits& units, FontRole role);

// Line heights of the two fonts as the device reports them, in twips.
struct LineHeights
{
    int heading = 0; // L
    int body = 0;    // l
};

// Width of a text in a listing font on the device, in twips.
using TextWidth = std::function<int(const std::string& text, FontRole font)>;

struct TextRun
{
    std::string text; // UTF-8
    int x = 0;
    int y = 0;
    FontRole font = FontRole::Body;
};

// A horizontal line from x1 to x2 at height y.
struct Rule
{
    int x1 = 0;
    int x2 = 0;
    int y = 0;
};

struct ListingPage
{
    std::vector<TextRun> texts;
    std::vector<Rule> rules;
};

// What a listing prints.
struct ListingContent
{
    ChannelTable texts{}; // rows 1..16, columns 1..8: the channel texts
    RadioImage image{};   // the feature bytes of the options page
    bool chinese = false; // titles and labels in Chinese
    std::string owner;    // printed in every foot; nothing when empty
};

// Where the channel pages break: page 2 lists the rows after breakRow1 up to
// breakRow2, page 3 the rows after breakRow2 up to breakRow3.
struct ChannelPageBreaks
{
    int breakRow1 = 0;
    int breakRow2 = 16; // row of the 8th programmed channel, else 16
    int breakRow3 = 16; // row of the 16th programmed channel, else 16
    int printedCount = 0;
};

// A channel is printed when its Rx Frequency or its Tx Frequency cell holds
// a text, whatever the device mode: a receive-only and a transmit-only
// channel are listed alike.
bool IsPrintedChannel(const ChannelTable& texts, int row);

// Counts the printed channels, rewrites the breaks and returns the number of
// channel pages, (count + 7) / 8.
int CountChannelPages(const ChannelTable& texts, ChannelPageBreaks& breaks);

// The listing of a data file as the channel window shows it in a device
// mode (1 receive side, 2 transmit side, 0 both): the texts the grid would
// hold and the feature bytes of the image.
ListingContent ImageListing(const RadioImage& image, int deviceMode, bool chinese, std::string owner);

// Number of pages of the listing: the options page and the channel pages.
int ListingPageCount(const ListingContent& content);

// The page bodies, added to page: the options page, and channel page p (2 or
// 3; any other page gets only its title). Given the text widths, a value of
// the right-hand column of a channel block that would run past the rules'
// right end (60u) moves left to end there, and its label with it; without
// them every run keeps its place.
void PrintOptionsPage(const ListingContent& content, const PageUnits& units, const LineHeights& lines,
                      ListingPage& page);
void PrintChannelPage(const ListingContent& content, const PageUnits& units, const LineHeights& lines, int pageNumber,
                      ListingPage& page, const TextWidth& width = {});

// A whole page: the three rules, the body of the page and the foot with the
// owner and "Page %d of %d".
ListingPage LayoutListingPage(const ListingContent& content, const PageUnits& units, const LineHeights& lines,
                              int pageNumber, int lastPage, const TextWidth& width = {});
