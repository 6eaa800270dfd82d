#include "core/document/EditHistory.h"

#include <algorithm>
#include <utility>

EditHistory::EditHistory(std::size_t limit)
    : m_limit(std::max<std::size_t>(limit, 1))
{}

bool EditHistory::Push(EditStep step)
{
    if (step.before == step.after)
        return false;
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_index), m_steps.end());
    if (m_clean && *m_clean > m_index)
        m_clean.reset(); // the saved state was among the dropped redo steps
    m_steps.push_back(std::move(step));
    ++m_index;
    if (m_steps.size() > m_limit) {
        m_steps.pop_front();
        --m_index;
        if (m_clean) {
            if (*m_clean == 0)
                m_clean.reset();
            else
                --*m_clean;
        }
    }
    return true;
}

const DocumentSnapshot* EditHistory::Undo()
{
    if (!CanUndo())
        return nullptr;
    --m_index;
    return &m_steps[m_index].before;
}

const DocumentSnapshot* EditHistory::Redo()
{
    if (!CanRedo())
        return nullptr;
    ++m_index;
    return &m_steps[m_index - 1].after;
}

std::string EditHistory::UndoLabel() const
{
    return CanUndo() ? m_steps[m_index - 1].label : std::string();
}

std::string EditHistory::RedoLabel() const
{
    return CanRedo() ? m_steps[m_index].label : std::string();
}

void EditHistory::SetClean()
{
    m_clean = m_index;
}

void EditHistory::Clear()
{
    m_steps.clear();
    m_index = 0;
    m_clean = 0;
}
