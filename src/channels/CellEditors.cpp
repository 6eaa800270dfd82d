#include "channels/CellEditors.h"

#include <QKeyEvent>
#include <QSignalBlocker>

CCellEdit::CCellEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!Fits(text)) {
            const QSignalBlocker blocker(this);
            setText(m_accepted);
        } else {
            m_accepted = text;
        }
    });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (Fits(text) || text.isEmpty())
            m_accepted = text;
    });
}

void CCellEdit::keyPressEvent(QKeyEvent* event)
{
    // Keys the box does not use go nowhere: an arrow key must never reach
    // the grid below and move its current cell.
    QLineEdit::keyPressEvent(event);
    event->accept();
}

bool CCellEdit::Fits(const QString& text) const
{
    const QMargins margins = textMargins() + contentsMargins();
    const int room = width() - margins.left() - margins.right() - 4;
    return fontMetrics().horizontalAdvance(text) <= room;
}

CCellList::CCellList(QWidget* parent)
    : QComboBox(parent)
{}

void CCellList::ShowUnlisted(const QString& text)
{
    DropUnlisted();
    insertItem(0, text);
    m_bUnlisted = true;
    setCurrentIndex(0);
}

void CCellList::DropUnlisted()
{
    if (m_bUnlisted) {
        removeItem(0);
        m_bUnlisted = false;
    }
}

void CCellList::keyPressEvent(QKeyEvent* event)
{
    QComboBox::keyPressEvent(event);
    event->accept();
}
