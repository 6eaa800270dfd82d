#pragma once
// The two editors the channel view lays over a cell: a text box for the
// frequencies and a drop-down list for the settings. Neither lets a key it
// does not use reach the grid below, which would move its current cell.

#include <QComboBox>
#include <QLineEdit>
#include <QString>

// A text box without a border that takes no more text than fits its width,
// as a box without horizontal scrolling does.
class CCellEdit : public QLineEdit
{
public:
    explicit CCellEdit(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool Fits(const QString& text) const;

    QString m_accepted;
};

// A drop-down list. While it is loaded with a text none of its items
// offers, that text is shown as an extra first item.
class CCellList : public QComboBox
{
public:
    explicit CCellList(QWidget* parent);

    void ShowUnlisted(const QString& text);
    void DropUnlisted();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_bUnlisted = false;
};
