#pragma once
// Chooses the user-interface language. OK writes the other language into
// Program.ini at once when the choice differs from the running one and
// remembers that a change was made; the new language takes effect when the
// program starts again.

#include <QDialog>

class QRadioButton;

class CLanguageDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CLanguageDlg(QWidget* owner = nullptr);

    int m_nSelection = -1;        // 0 English, 1 Chinese, -1 none
    unsigned char m_bChanged = 0; // set by OK on a real change, never reset

    int exec() override;
    // Selects the running language's button.
    void OnInitDialog();
    // OK: records and writes a real change, then closes.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRadioButton* m_pEnglish = nullptr;
    QRadioButton* m_pChinese = nullptr;
};
