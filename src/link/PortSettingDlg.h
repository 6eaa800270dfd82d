#pragma once
// The Port Setting dialog: sixteen ports COM1 to COM16, each showing the
// device it stands for. Opening it probes every port and disables those that
// cannot be opened now; a device that exists but may not be opened says how
// to get access. The current port is checked when it can be opened. OK
// stores the checked port as the port name and the per-user value "com";
// Cancel changes nothing.

#include <QDialog>

#include <array>

class QLabel;
class QRadioButton;

class CPortSettingDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kFirstPortId = 1007;  // port n has control 1006 + n

    explicit CPortSettingDlg(QWidget* owner = nullptr);

    int exec() override;
    // Probes the ports and checks the current one.
    void OnInitDialog();
    // OK: stores the checked port, if any, then closes.
    void accept() override;

    QRadioButton* PortButton(int number) const;  // 1 to 16
    QLabel* DeviceLabel(int number) const;
    // Checked port, 0 for none.
    int CheckedPort() const;
    // The advice shown for a device that may not be opened; hidden otherwise.
    QLabel* AccessHint() const { return m_pHint; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::array<QRadioButton*, 16> m_ports{};
    std::array<QLabel*, 16> m_devices{};
    QLabel* m_pHint = nullptr;
};
