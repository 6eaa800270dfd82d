#pragma once
// The small modeless window of a radio transfer: a progress bar of 51
// blocks, a counter, OK and Cancel. OK disables itself and asks for the
// transfer to start (a queued signal, so that the press returns first).
// Cancel before OK closes the window; Cancel during the transfer only sets
// the cancel flag, which the transfer reads at its next pump step.
//
// The object lives as long as its view; its window is created for each
// transfer (Create) and destroyed when the transfer ends (DestroyWindow).

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kBlocks = 51;
    static constexpr int IDC_PROGRESS = 1001;
    static constexpr int IDC_COUNTER = 1009;

    explicit CProgressDlg(QWidget* owner);

    // Creates and shows the window, centred over its owner's window, unless
    // it exists already.
    void Create();
    // Closes the window; the object stays.
    void DestroyWindow();
    bool HasWindow() const { return m_bHasWindow; }
    // OK has been pressed: the transfer is pending or running.
    bool IsStarted() const;

    // Range 0 to 51, position 0, counter "0", caption from m_strCaption,
    // cancel flag cleared, OK enabled.
    void OnInitDialog();
    void OnOK();
    void OnCancel();
    // Bar position and counter text.
    void SetPosition(int position);

    QProgressBar* ProgressBar() const { return m_pProgress; }
    QLabel* Counter() const { return m_pCounter; }
    QPushButton* OkButton() const { return m_pOk; }
    QPushButton* CancelButton() const { return m_pCancel; }

    bool m_bCancel = false;
    QString m_strCaption;

signals:
    // Emitted by OK; connected queued to the transfer.
    void startTransfer();

public slots:
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QProgressBar* m_pProgress = nullptr;
    QLabel* m_pCounter = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
    bool m_bHasWindow = false;
};
