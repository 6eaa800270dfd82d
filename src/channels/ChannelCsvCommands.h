#pragma once
// File > Import Channels... and File > Export Channels... of a channel
// window, on the view and document they are given.
//
// Import is one change of the document's whole channels (Apply): the open
// cell edit is committed and the cells written into the image, the core
// import (either layout) runs on that image with the view's band limits,
// and on success the result becomes the document's image, the texts are
// filled anew and an undo step is recorded when anything changed. When any
// cell is bad, every "LINE:COLUMN: reason" is listed and nothing changes.
//
// Export commits an open cell edit, writes the cells into the image (as a
// save does) and writes both sides of every channel, whichever side the
// grid shows, in the layout the chosen file type names, atomically; the
// same file `program-cli export` writes from the saved document. Exporting
// only the shown side would lose the hidden one on the way back in.

#include "base/CmdTarget.h"
#include "core/channels/ChannelCsv.h"

#include <QString>
#include <QStringList>

class IChannelWindow;
class IPrompter;

class CChannelCsvCommands
{
public:
    CChannelCsvCommands(IChannelWindow& view, IPrompter& prompter);

    // Runs Import or Export (ui null) or fills in their state; false for
    // any other command.
    bool OnCmdMsg(int id, CCmdUI* ui);

    void OnImport();
    void OnExport();

    // The steps after the file chooser. ImportFile leaves the reasons of a
    // failure in errors; ExportFile in error.
    bool ImportFile(const QString& path, QStringList& errors);
    bool ExportFile(const QString& path, ChannelCsvLayout layout, QString& error);

    // The file types of the export chooser, own layout first.
    static QString OwnFilter();
    static QString InterchangeFilter();

private:
    void ShowTransmitOnlyNote(const std::vector<int>& channels);

    IChannelWindow& m_view;
    IPrompter& m_prompter;
};
