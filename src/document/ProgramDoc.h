#pragma once
// The document of one radio image: the 1024 bytes of the radio's memory,
// their defaults for a new image, and the data file they are opened from and
// saved to. A modified flag records changes not yet saved: an edit that
// changes a cell, a settings dialog that changes a byte, a read from the
// radio. Save and Open clear it; Exit, New and the language restart ask
// before dropping a modified document (SaveModified).
//
// The document owns its channels (DocumentChannels): the image and the
// texts the channel window shows and edits, with what the lossless save
// compares against. Every change goes one way, through Apply: a value still
// being typed is committed, the change is made, the views show the result
// and the change becomes one step of the undo history, which holds the
// document before and after it. The modified flag follows the history, so
// undoing back to what was saved clears it.

#include "base/CmdTarget.h"
#include "core/document/DocumentChannels.h"
#include "core/document/EditHistory.h"

#include <QObject>
#include <QString>

#include <functional>

class IAppServices;

class CProgramDoc : public QObject, public CCmdTarget
{
    Q_OBJECT
public:
    // app: the parent and caption of the document's boxes and the channel
    // window in front, which Close acts on.
    explicit CProgramDoc(IAppServices& app);

    // Fills the image with its defaults, the radio type and band of the
    // last choice (the per-user Type and Field), and names the document.
    bool OnNewDocument();
    // Reads a data file into the image; reports a failure and returns false.
    // A type and band the configured lists offer become the per-user
    // choice.
    bool OnOpenDocument(const QString& path);
    // Writes the cells into the image (WriteGridToImage), then the data file.
    bool OnSaveDocument(const QString& path);

    // ---- The channels.
    const DocumentChannels& Channels() const { return m_channels; }
    const RadioImage& Image() const { return m_channels.Image(); }
    // The channels the channel window's editing session works on; it
    // changes them only inside Apply.
    DocumentChannels& EditedChannels() { return m_channels; }

    // What a change changes, which says how it begins and ends.
    enum class Change {
        // Cell texts: the change is itself the commit of the value being
        // typed.
        Cells,
        // Bytes of the image outside the channels (the settings dialogs): a
        // value still being typed is committed first, as its own step.
        Bytes,
        // Whole channels in the image (row commands, paste, import): the
        // value being typed is committed, the editors close and the cells
        // are written into the image first; the texts are filled anew from
        // the changed image.
        Channels,
        // A new image (a read from the radio): the value being typed is
        // committed first; the texts are filled anew from the new image.
        Image,
    };
    // Makes one change of the document: begins as what says, runs change
    // (which returns whether it changed the document; false for a refused
    // command, which records nothing and fills nothing anew), lets the
    // views show the channels and records the change as one undo step
    // named label. Returns what change returned.
    bool Apply(const QString& label, Change what, const std::function<bool(DocumentChannels&)>& change);
    // The texts anew from the image in the running device mode (a change of
    // the device mode, a new window); the views show them.
    void ImageToGrid();
    // Commits a value still being typed, closes the editors and writes the
    // cells into the image in the running device mode (before a save, an
    // export, a write to the radio).
    void WriteGridToImage();
    // Commits a value still being typed, by the rules of leaving its cell.
    void CommitPendingEdit();
    // Makes the image's radio type and band the per-user choice, when the
    // configured lists offer them (after an open or a read).
    void RememberProductChoice() const;

    // Whether the image or the grid holds changes that are not in a file.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);
    // Asks "Save changes to <name>?" for a modified document: Save saves
    // (Save As for a document without a file), Discard drops the changes.
    // False when the user cancelled, or the save failed or was cancelled.
    bool SaveModified();

    // ---- Undo history.
    // Starts an empty history from what the document holds now, which
    // counts as saved (a new or opened document).
    void ResetHistory();
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    QString UndoLabel() const { return QString::fromStdString(m_history.UndoLabel()); }
    QString RedoLabel() const { return QString::fromStdString(m_history.RedoLabel()); }
    // Give back the state before the last step / after the next one: the
    // image byte for byte and the texts; the modified flag says whether that
    // state differs from the one saved last.
    void Undo();
    void Redo();

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Whether the path names the document's data file (a new document's
    // path is only a name).
    bool HasFile() const { return m_bPathIsFile; }
    void SetPathName(const QString& path) { m_strPathName = path; }

    bool OnCmdMsg(int id, CCmdUI* ui) override;

    // "*.dat (*.dat)" and ".dat", from the document string of the bundle.
    static QString FileFilter();
    static QString DefaultExtension();

signals:
    void titleChanged(const QString& title);
    void modifiedChanged(bool modified);
    // The views commit a value still being typed (by the rules of leaving
    // its cell); with closeEditors they also close the editors, as before
    // the cells are written into the image.
    void pendingEditRequested(bool closeEditors);
    // The channels changed; whole when the texts were filled anew from the
    // image (the column layout, title and band limits follow), else only
    // cell texts changed.
    void channelsChanged(bool whole);

private:
    void OnFileClose();
    bool DoFileSave();
    bool DoSave(bool askForName);

    IAppServices& m_app;
    QString m_strTitle;
    QString m_strPathName;
    bool m_bPathIsFile = false; // the path name names a file that was opened or saved
    bool m_bModified = false;
    DocumentChannels m_channels;
    bool m_bCommitting = false; // the views are committing a pending edit

    // Records what changed since the last step (or the start) as one step
    // named label, and marks the document modified.
    void RecordChange(const QString& label);
    void Restore(const DocumentSnapshot& state);

    EditHistory m_history;
    DocumentSnapshot m_lastState; // what the last step (or the start) left
};
