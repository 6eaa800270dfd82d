#pragma once
// The Port Setting dialog: sixteen ports COM1 to COM16, each showing the
// device it stands for and the cable as the system describes it
// ("ttyUSB0 · FTDI FT232R USB UART"). Opening it probes every port and
// disables those that cannot be opened now; a device that exists but may not
// be opened says how to get access. The list is probed again whenever a
// device appears or goes while the dialog is open. The current port is
// checked when it can be opened.
//
// The Device field shows the device of the chosen number (the checked one,
// else the current port's); typing a path there (a pseudo-terminal, a
// /dev/serial/by-id link) aims that number at it for this user. OK stores
// that mapping, then the checked port as the port name and the per-user
// value "com"; Cancel changes nothing.

#include <QDialog>

#include "core/link/PortNames.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

class CPortSettingDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kFirstPortId = 1007; // port n has control 1006 + n

    explicit CPortSettingDlg(QWidget* owner = nullptr);

    int exec() override;
    // Probes the ports and checks the current one.
    void OnInitDialog();
    // Probes the ports again and renames them, keeping the choice.
    void Refresh();
    // Where the ports present come from (this machine's, by default).
    void SetPortLister(std::function<std::vector<SerialPortInfo>()> lister) { m_lister = std::move(lister); }
    // OK: stores the checked port, if any, then closes.
    void accept() override;

    QRadioButton* PortButton(int number) const; // 1 to 16
    QLabel* DeviceLabel(int number) const;
    // Checked port, 0 for none.
    int CheckedPort() const;
    // The advice shown for a device that may not be opened; hidden otherwise.
    QLabel* AccessHint() const { return m_pHint; }
    QLineEdit* DeviceEdit() const { return m_pDeviceEdit; }
    // The number the Device field belongs to.
    int ChosenPort() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    // The mappings in force, with the one typed in the Device field.
    std::map<int, std::string> Mappings() const;
    void ShowChosenDevice();
    void TakeTypedDevice(); // the Device field's path becomes the chosen number's

    std::array<QRadioButton*, 16> m_ports{};
    std::array<QLabel*, 16> m_devices{};
    std::array<std::string, 16> m_paths{}; // the device each number stands for now
    QLabel* m_pHint = nullptr;
    QLineEdit* m_pDeviceEdit = nullptr;
    QFileSystemWatcher* m_pWatcher = nullptr;
    QTimer* m_pRefreshTimer = nullptr;
    std::function<std::vector<SerialPortInfo>()> m_lister = [] { return ListSerialPorts(); };
    std::optional<std::pair<int, std::string>> m_typed; // number and path typed, stored on OK
};
