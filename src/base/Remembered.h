#pragma once
// What the program remembers for the user between sessions, kept in the
// per-user store: the recent data files and the folders the file dialogs
// start in. Every call reads the store afresh, so documents, views and the
// application share one list without holding it.

#include <QString>
#include <QStringList>

#include <functional>

namespace Remembered {

// Data files opened or saved, newest first (at most eight).
QStringList RecentFiles();
// Puts a data file that was opened or saved at the front of the list.
void AddRecentFile(const QString& path);
// Opens entry index with open; an entry that does not open leaves the list.
bool OpenRecentFile(int index, const std::function<bool(const QString&)>& open);

// The file dialogs that share a starting folder.
enum class Folder {
    DataFiles,    // Open and Save As
    ChannelLists, // Import Channels and Export Channels
};
// The folder of the last dialog of that kind, or empty.
QString LastFolder(Folder kind);
// Remembers the folder of a file chosen in a dialog of that kind.
void SetLastFolderOf(Folder kind, const QString& filePath);

} // namespace Remembered
