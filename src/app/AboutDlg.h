#pragma once
// The About box: caption, version, copyright and owner lines from the
// running language's section of Program.ini, and the picture "title.ico".

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* Icon() const { return m_pIcon; }
    QLabel* Line(int controlId) const;
    bool HasFileIcon() const { return m_bFileIcon; }

private:
    void OnInitDialog();

    QLabel* m_pIcon = nullptr;
    QLabel* m_pVersion = nullptr;
    QLabel* m_pCopyrights = nullptr;
    QLabel* m_pOwner = nullptr;
    bool m_bFileIcon = false;
};
