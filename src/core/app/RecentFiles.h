#pragma once
// The list of data files opened or saved last, newest first, kept per user
// as the values "Recent File1" ... "Recent File8".
//
// The caller hands in full paths (one spelling per file) and does the
// opening; a file that cannot be opened when chosen leaves the list.

#include "core/app/UserValues.h"

#include <functional>
#include <string>
#include <vector>

inline constexpr std::size_t kMaxRecentFiles = 8;

class RecentFileList
{
public:
    RecentFileList() = default;
    explicit RecentFileList(std::vector<std::string> files);

    const std::vector<std::string>& Files() const { return m_files; }

    // Puts path first; an earlier entry of the same path goes, and the
    // oldest entry beyond the limit drops off.
    void Add(const std::string& path);
    // Takes path out of the list; false when it was not in it.
    bool Remove(const std::string& path);

    // Opens entry index (from 0) with open. A file that opens moves to the
    // front; one that does not leaves the list. False when nothing opened.
    bool OpenEntry(std::size_t index, const std::function<bool(const std::string&)>& open);

    // The list stored in values; missing or empty entries are skipped.
    static RecentFileList Load(const UserValues& values);
    // Writes every slot, emptying the unused ones; false when the file could
    // not be written.
    bool Save(UserValues& values) const;

private:
    std::vector<std::string> m_files;
};
