#pragma once
// What assistive technology sees of the channel grid. The grid is offered
// as a table of the channel cells under the shown column headings: columns
// of width 0 are not part of it, so a screen reader's cell navigation never
// lands in a column the user cannot see. Each cell is named
// "Channel N, HEADING: TEXT" (ChannelCellName), and the accessibility focus
// is the framed cell (the grid's highlight cell).
//
// Qt's own table interface numbers the cells of every column, hidden ones
// included, and announces the view's current index; the grid therefore
// leaves Qt's announcements out and signals what happens instead.

class CMSFlexGrid;
class QAccessibleInterface;
class QWidget;

// Gives a grid the accessible table below and lets it announce the framed
// cell; called once for each grid, after its construction.
void InstallGridAccessibility(CMSFlexGrid* grid);

// Tells assistive technology that the framed cell has the focus, when the
// grid has the keyboard focus and a cell is framed.
void AnnounceFramedCell(CMSFlexGrid* grid);

// Tells assistive technology that the table's columns changed (a column
// was hidden or shown).
void AnnounceColumnsChanged(CMSFlexGrid* grid);

// Names an editor laid over the grid's current cell "Channel N, HEADING"
// in the running language (its accessible name, and a hidden label whose
// buddy it is, which AT-SPI reads for a drop-down list).
void NameCellEditor(QWidget* editor, const CMSFlexGrid& grid);

// The accessible table of a grid: rows are the channels, columns the shown
// data columns (index 0 = the first column of non-zero width).
QAccessibleInterface* GridAccessibleInterface(CMSFlexGrid* grid);
