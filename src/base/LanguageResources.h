#pragma once
// A language bundle: one Qt binary resource file per language (English.rcc,
// Chinese.rcc) beside the executable. Once loaded it is the only source of
// resource texts, menus, accelerators, dialog texts, the toolbar strip,
// icons, the cursor and the workspace picture, all keyed by numeric ID.
//
// Inside the bundle, resources.json holds the tables:
//   strings       {"ID": "text"}; a command prompt is "status text\ntooltip"
//   menus         {"ID": [popup...]}, popup = {"text", "items": [item...]},
//                 item = {"id", "text"} or {"separator": true} or a popup
//   accelerators  {"ID": [["Ctrl+N", 57600], ...]}
//   dialogs       {"ID": {"caption", "controls": {"key": "text"},
//                         "lists": {"key": ["item", ...]}}}; a key is a
//                 control ID, or the object name of a control without one
//   toolbars      {"ID": {"bitmap", "width", "height", "buttons": [ID or 0]}}
//   bitmaps, icons {"ID": "file in the bundle"}
//   cursors       {"ID": {"file", "hotspot": [x, y]}}

#include <QCursor>
#include <QIcon>
#include <QJsonObject>
#include <QKeySequence>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <string>

class QWidget;

struct MenuResourceItem
{
    int id = 0; // command; 0 for a popup or a separator
    QString text;
    bool separator = false;
    QList<MenuResourceItem> items; // not empty for a popup
    bool IsPopup() const { return !separator && id == 0; }
};

struct AcceleratorResource
{
    QKeySequence key;
    int id = 0;
};

struct ToolbarResource
{
    QPixmap strip;
    QSize button;
    QList<int> buttons; // command IDs in order, 0 for a separator
};

class CLanguageResources
{
public:
    CLanguageResources() = default;
    ~CLanguageResources();
    CLanguageResources(const CLanguageResources&) = delete;
    CLanguageResources& operator=(const CLanguageResources&) = delete;

    // Registers the bundle file and reads its tables. False when the file is
    // missing or is not a bundle; nothing stays registered then.
    bool Load(const QString& path);
    void Unload();
    bool IsLoaded() const { return !m_path.isEmpty(); }
    const QString& Path() const { return m_path; }

    QString LoadString(int id) const; // "" when the table has no such entry
    bool HasString(int id) const;
    QList<MenuResourceItem> LoadMenu(int id) const;
    QList<AcceleratorResource> LoadAccelerators(int id) const;
    bool HasDialog(int id) const;
    QString DialogCaption(int dialogId) const;
    QString DialogText(int dialogId, const QString& key) const;
    QStringList DialogList(int dialogId, const QString& key) const;
    QPixmap LoadBitmap(int id) const;
    QIcon LoadIcon(int id) const;
    QCursor LoadCursor(int id) const;
    ToolbarResource LoadToolbar(int id) const;

    // Sets the caption of a dialog and the texts (and initial list items) of
    // every child that has a control ID or an object name in the template.
    void ApplyDialog(QWidget* dialog, int dialogId) const;

    // The JSON tables, for tools and tests that walk the whole bundle.
    const QJsonObject& Tables() const { return m_tables; }

private:
    QString File(const QString& name) const;
    QJsonObject Dialog(int id) const;

    QString m_path;
    QString m_root;
    QJsonObject m_tables;
};
