#include "link/PortSettingDlg.h"

#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/DialogButtons.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"
#include "core/link/PortNames.h"
#include "link/PortChoice.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileSystemWatcher>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 4;

bool IsAccessDenied(const std::error_code& error)
{
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

} // namespace

CPortSettingDlg::CPortSettingDlg(QWidget* owner)
    : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("portGroup"));
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(18);
    auto* buttons = new QButtonGroup(this);
    for (int n = 1; n <= kPortCount; ++n) {
        auto* port = new QRadioButton(QStringLiteral("COM%1").arg(n), group);
        SetControlId(port, kFirstPortId + n - 1);
        buttons->addButton(port, n);
        auto* device = new QLabel(group);
        device->setTextFormat(Qt::PlainText);
        QFont small = device->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        device->setFont(small);
        device->setForegroundRole(QPalette::PlaceholderText);
        device->setMinimumWidth(200);
        const int row = (n - 1) / kColumns;
        const int column = (n - 1) % kColumns;
        grid->addWidget(port, row * 2, column);
        grid->addWidget(device, row * 2 + 1, column, Qt::AlignTop);
        grid->setRowMinimumHeight(row * 2 + 1, device->sizeHint().height() + 6);
        m_ports[static_cast<std::size_t>(n - 1)] = port;
        m_devices[static_cast<std::size_t>(n - 1)] = device;
    }

    for (QRadioButton* port : m_ports)
        connect(port, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ShowChosenDevice();
        });

    m_pDeviceEdit = new QLineEdit(this);
    m_pDeviceEdit->setObjectName(QStringLiteral("deviceEdit"));
    m_pDeviceEdit->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    connect(m_pDeviceEdit, &QLineEdit::editingFinished, this, &CPortSettingDlg::TakeTypedDevice);
    auto* deviceRow = new QFormLayout;
    deviceRow->addRow(Lang("Device:", "设备:"), m_pDeviceEdit);

    // Cables come and go while the dialog is open; udev creates the device
    // and then sets its owner, so the probe waits a moment.
    m_pRefreshTimer = new QTimer(this);
    m_pRefreshTimer->setSingleShot(true);
    m_pRefreshTimer->setInterval(700);
    connect(m_pRefreshTimer, &QTimer::timeout, this, &CPortSettingDlg::Refresh);

    m_pHint = new QLabel(this);
    m_pHint->setWordWrap(true);
    m_pHint->setTextFormat(Qt::PlainText);
    m_pHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pHint->hide();

    QDialogButtonBox* box = AddOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(deviceRow);
    layout->addWidget(m_pHint);
    layout->addWidget(box);
}

QRadioButton* CPortSettingDlg::PortButton(int number) const
{
    return number >= 1 && number <= kPortCount ? m_ports[static_cast<std::size_t>(number - 1)] : nullptr;
}

QLabel* CPortSettingDlg::DeviceLabel(int number) const
{
    return number >= 1 && number <= kPortCount ? m_devices[static_cast<std::size_t>(number - 1)] : nullptr;
}

int CPortSettingDlg::CheckedPort() const
{
    for (int n = 1; n <= kPortCount; ++n) {
        if (PortButton(n)->isChecked())
            return n;
    }
    return 0;
}

int CPortSettingDlg::ChosenPort() const
{
    if (const int checked = CheckedPort())
        return checked;
    const std::optional<int> current = PortNumberFromName(g_strPortName);
    return current && *current >= 1 && *current <= kPortCount ? *current : 1;
}

int CPortSettingDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CPortSettingDlg::OnInitDialog()
{
    if (g_pResources)
        g_pResources->ApplyDialog(this, Ids::IDD_PORT_SETTING);
    m_typed.reset();
    if (!m_pWatcher) {
        m_pWatcher = new QFileSystemWatcher(this);
        connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, m_pRefreshTimer, qOverload<>(&QTimer::start));
    }
    m_pWatcher->addPath(QStringLiteral("/dev"));
    Refresh();

    // The current port is checked when it can be opened; otherwise none is.
    QButtonGroup* group = PortButton(1)->group();
    group->setExclusive(false);
    for (QRadioButton* port : m_ports)
        port->setChecked(false);
    group->setExclusive(true);
    const std::optional<int> current = PortNumberFromName(g_strPortName);
    if (current && *current >= 1 && *current <= kPortCount && PortButton(*current)->isEnabled())
        PortButton(*current)->setChecked(true);
    ShowChosenDevice();
    adjustSize();
}

std::map<int, std::string> CPortSettingDlg::Mappings() const
{
    std::map<int, std::string> mappings = CurrentPortMappings();
    if (m_typed) {
        if (m_typed->second.empty())
            mappings.erase(m_typed->first);
        else
            mappings[m_typed->first] = m_typed->second;
    }
    return mappings;
}

void CPortSettingDlg::Refresh()
{
    const std::vector<SerialPortInfo> ports = m_lister();
    const std::map<int, std::string> mappings = Mappings();
    QString hint;
    for (int n = 1; n <= kPortCount; ++n) {
        const std::string device = PortDevice(n, ports, mappings);
        m_paths[static_cast<std::size_t>(n - 1)] = device;
        const std::error_code error = ProbePort(device);
        QRadioButton* port = PortButton(n);
        QLabel* label = DeviceLabel(n);
        if (error && port->isChecked()) {
            // A port that went away cannot stay chosen.
            port->group()->setExclusive(false);
            port->setChecked(false);
            port->group()->setExclusive(true);
        }
        port->setEnabled(!error);
        // A present port by the name the system gives it; a mapped path as it is.
        QString text = device.empty() ? Lang("(no device)", "(无设备)") : QString::fromLocal8Bit(device.c_str());
        if (!mappings.count(n)) {
            for (const SerialPortInfo& info : ports)
                if (info.device == device)
                    text = QString::fromUtf8(PortLabel(info).c_str());
        }
        QString tip = QString::fromLocal8Bit(device.c_str());
        if (IsAccessDenied(error)) {
            text += Lang(" (no access)", " (无权限)");
            if (hint.isEmpty())
                hint = QString::fromLocal8Bit(PortPermissionHint(device).c_str());
        } else if (error == std::errc::device_or_resource_busy) {
            text += Lang(" (in use)", " (占用)");
        }
        label->setText(fontMetrics().elidedText(text, Qt::ElideMiddle, 200));
        label->setToolTip(tip.isEmpty() || tip == text ? text : tip + QStringLiteral("\n") + text);
        port->setToolTip(label->toolTip());
    }
    m_pHint->setText(hint);
    m_pHint->setVisible(!hint.isEmpty());
}

void CPortSettingDlg::ShowChosenDevice()
{
    m_pDeviceEdit->setText(QString::fromLocal8Bit(m_paths[static_cast<std::size_t>(ChosenPort() - 1)].c_str()));
    m_pDeviceEdit->setModified(false);
}

void CPortSettingDlg::TakeTypedDevice()
{
    if (!m_pDeviceEdit->isModified())
        return;
    m_pDeviceEdit->setModified(false);
    const int number = ChosenPort();
    const std::string path = m_pDeviceEdit->text().trimmed().toLocal8Bit().toStdString();
    if (path == m_paths[static_cast<std::size_t>(number - 1)])
        return;
    m_typed = std::make_pair(number, path);
    Refresh();
    // Typing a device for a number chooses that number, when it opens.
    if (PortButton(number)->isEnabled())
        PortButton(number)->setChecked(true);
    ShowChosenDevice();
}

void CPortSettingDlg::accept()
{
    TakeTypedDevice();
    if (m_typed)
        StoreUserPortDevice(m_typed->first, m_typed->second);
    if (const int number = CheckedPort())
        StorePortNumber(number);
    QDialog::accept();
}

void CPortSettingDlg::done(int result)
{
    if (m_pWatcher)
        m_pWatcher->removePaths(m_pWatcher->directories());
    m_pRefreshTimer->stop();
    m_typed.reset();
    QDialog::done(result);
}

void CPortSettingDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1)
        ContextHelp(Ids::ID_COM_SETUP);
    QDialog::keyPressEvent(event);
}
