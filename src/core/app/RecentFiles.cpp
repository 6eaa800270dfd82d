#include "core/app/RecentFiles.h"

#include <algorithm>

namespace {

std::string SlotName(std::size_t slot)
{
    return "Recent File" + std::to_string(slot + 1);
}

} // namespace

RecentFileList::RecentFileList(std::vector<std::string> files)
{
    // Oldest first, so that the newest ends up in front.
    for (auto it = files.rbegin(); it != files.rend(); ++it)
        if (!it->empty())
            Add(*it);
}

void RecentFileList::Add(const std::string& path)
{
    if (path.empty())
        return;
    Remove(path);
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > kMaxRecentFiles)
        m_files.resize(kMaxRecentFiles);
}

bool RecentFileList::Remove(const std::string& path)
{
    const auto it = std::find(m_files.begin(), m_files.end(), path);
    if (it == m_files.end())
        return false;
    m_files.erase(it);
    return true;
}

bool RecentFileList::OpenEntry(std::size_t index, const std::function<bool(const std::string&)>& open)
{
    if (index >= m_files.size())
        return false;
    const std::string path = m_files[index];
    if (!open(path)) {
        Remove(path);
        return false;
    }
    Add(path);
    return true;
}

RecentFileList RecentFileList::Load(const UserValues& values)
{
    std::vector<std::string> files;
    for (std::size_t slot = 0; slot < kMaxRecentFiles; ++slot)
        if (const auto path = values.QueryString(SlotName(slot)))
            files.push_back(*path);
    return RecentFileList(std::move(files));
}

bool RecentFileList::Save(UserValues& values) const
{
    std::vector<std::pair<std::string, std::string>> slots;
    for (std::size_t slot = 0; slot < kMaxRecentFiles; ++slot)
        slots.emplace_back(SlotName(slot), slot < m_files.size() ? m_files[slot] : std::string());
    return values.SetStrings(slots);
}
