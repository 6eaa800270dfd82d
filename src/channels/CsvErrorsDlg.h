#pragma once
// The list of bad cells of a channel file that was not imported: one
// "LINE:COLUMN: reason" per line in a read-only text box the user can
// scroll, select and copy from, with a button that copies the whole list.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

class CCsvErrorsDlg : public QDialog
{
    Q_OBJECT
public:
    CCsvErrorsDlg(const QString& fileName, const QStringList& errors, QWidget* parent = nullptr);
    // The same list under another title and introduction, for channels that
    // come from elsewhere than a file (a paste).
    CCsvErrorsDlg(const QString& title, const QString& intro, const QStringList& errors, QWidget* parent);

    // The list as shown, one error per line.
    QString ListText() const;

private:
    QPlainTextEdit* m_pList = nullptr;
};
