#pragma once
// The document of one radio image: the 1024 bytes of the radio's memory,
// their defaults for a new image, and the data file they are opened from and
// saved to. A modified flag records changes not yet saved: an edit that
// changes a cell, a settings dialog that changes a byte, a read from the
// radio. Save and Open clear it; Exit, New and the language restart ask
// before dropping a modified document (SaveModified).
//
// Every change is also a step of the document's undo history, which holds
// the image and the window's texts before and after it; the modified flag
// follows the history, so undoing back to what was saved clears it.

#include "base/CmdTarget.h"
#include "core/channels/ChannelTable.h"
#include "core/document/EditHistory.h"
#include "core/document/RadioImage.h"

#include <QObject>
#include <QString>

class IAppServices;

// What the document asks of the window that shows it.
class IDocumentView
{
public:
    virtual ~IDocumentView() = default;
    // Accepts (or refuses, with its message) a value still being typed.
    virtual void CommitPendingEdit() = 0;
    // Writes what the window shows back into the image, before a save.
    virtual void GridToImage() = 0;
    // The texts the grid holds, and those it showed when it last matched
    // the image (what the lossless write-back compares against).
    virtual ChannelTable GridTexts() const = 0;
    virtual ChannelTable ShownTexts() const = 0;
    // Puts texts back after an undo or redo (any value being typed is
    // dropped) and shows the title and band of the image as it is now.
    virtual void RestoreTexts(const ChannelTable& texts, const ChannelTable& shown) = 0;
};

class CProgramDoc : public QObject, public CCmdTarget
{
    Q_OBJECT
public:
    // app: the parent and caption of the document's boxes and the channel
    // window in front, which Open and Close act on.
    explicit CProgramDoc(IAppServices& app);

    // Fills the image with its defaults and names the document.
    bool OnNewDocument();
    // Reads a data file into the image; reports a failure and returns false.
    bool OnOpenDocument(const QString& path);
    // Pulls the grid into the image, then writes the data file.
    bool OnSaveDocument(const QString& path);

    // Whether the image or the grid holds changes that are not in a file.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);
    // Asks "Save changes to <name>?" for a modified document: Save saves
    // (Save As for a document without a file), Discard drops the changes.
    // False when the user cancelled, or the save failed or was cancelled.
    bool SaveModified();

    // ---- Undo history.
    // Records what changed since the last step (or the start) as one step
    // named label, and marks the document modified.
    void RecordChange(const QString& label);
    // Starts an empty history from what the document and its window hold
    // now, which counts as saved (a new or opened document).
    void ResetHistory();
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    QString UndoLabel() const { return QString::fromStdString(m_history.UndoLabel()); }
    QString RedoLabel() const { return QString::fromStdString(m_history.RedoLabel()); }
    // Give back the state before the last step / after the next one: the
    // image byte for byte and the window's texts; the modified flag says
    // whether that state differs from the one saved last.
    void Undo();
    void Redo();

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Whether the path names the document's data file (a new document's
    // path is only a name).
    bool HasFile() const { return m_bPathIsFile; }
    void SetPathName(const QString& path) { m_strPathName = path; }

    // The view of this document (each document has exactly one).
    IDocumentView* GetView() const { return m_pView; }
    void SetView(IDocumentView* view) { m_pView = view; }

    bool OnCmdMsg(int id, CCmdUI* ui) override;

    // "*.dat (*.dat)" and ".dat", from the document string of the bundle.
    static QString FileFilter();
    static QString DefaultExtension();

    RadioImage m_image{};

signals:
    void titleChanged(const QString& title);
    void modifiedChanged(bool modified);

private:
    void OnFileClose();
    bool DoFileSave();
    bool DoSave(bool askForName);

    // Closes the channel window in front (Close hides it).
    void CloseActiveChannelWindow();

    IAppServices& m_app;
    QString m_strTitle;
    QString m_strPathName;
    bool m_bPathIsFile = false;
    bool m_bModified = false;  // the path name names a file that was opened or saved
    IDocumentView* m_pView = nullptr;

    DocumentSnapshot Snapshot() const;
    void Restore(const DocumentSnapshot& state);

    EditHistory m_history;
    DocumentSnapshot m_lastState;  // what the last step (or the start) left
};
