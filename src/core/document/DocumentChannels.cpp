#include "core/document/DocumentChannels.h"

DocumentChannels::DocumentChannels(bool chinese)
    : m_chinese(chinese)
    , m_cells(NewChannelTable(chinese))
{}

void DocumentChannels::MarkDeleted(int row)
{
    if (row >= 1 && row < kTableRows)
        m_deleted[static_cast<std::size_t>(row)] = true;
}

void DocumentChannels::ImageToGrid(int deviceMode)
{
    ImageToTable(m_image, deviceMode, m_chinese, m_cells);
    ClearDeletedRows();
    m_shown = m_cells;
}

void DocumentChannels::GridToImage(int deviceMode)
{
    TableToImageKeepingUnchanged(m_cells, m_shown, deviceMode, m_image, m_deleted);
    ClearDeletedRows();
    m_shown = m_cells;
}

DocumentSnapshot DocumentChannels::Snapshot() const
{
    return DocumentSnapshot{m_image, m_cells, m_shown, m_deleted};
}

void DocumentChannels::Restore(const DocumentSnapshot& state)
{
    m_image = state.image;
    m_cells = state.table;
    m_shown = state.shown;
    m_deleted = state.deleted;
}
