#include "link/PortSettingDlg.h"

#include "base/DialogButtons.h"
#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"
#include "core/link/PortNames.h"
#include "link/PortChoice.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 4;

bool IsAccessDenied(const std::error_code& error)
{
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

}  // namespace

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
        device->setMinimumWidth(110);
        const int row = (n - 1) / kColumns;
        const int column = (n - 1) % kColumns;
        grid->addWidget(port, row * 2, column);
        grid->addWidget(device, row * 2 + 1, column, Qt::AlignTop);
        grid->setRowMinimumHeight(row * 2 + 1, device->sizeHint().height() + 6);
        m_ports[static_cast<std::size_t>(n - 1)] = port;
        m_devices[static_cast<std::size_t>(n - 1)] = device;
    }

    m_pHint = new QLabel(this);
    m_pHint->setWordWrap(true);
    m_pHint->setTextFormat(Qt::PlainText);
    m_pHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pHint->hide();

    QDialogButtonBox* box = AddOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
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

int CPortSettingDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CPortSettingDlg::OnInitDialog()
{
    if (g_pResources)
        g_pResources->ApplyDialog(this, Ids::IDD_PORT_SETTING);

    const std::vector<std::string> devices = ListSerialDevices();
    const std::map<int, std::string> mappings = PortMappings(g_iniFile);
    QString hint;
    for (int n = 1; n <= kPortCount; ++n) {
        const std::string device = PortDevicePath(n, devices, mappings);
        const std::error_code error = ProbePort(device);
        QRadioButton* port = PortButton(n);
        QLabel* label = DeviceLabel(n);
        port->setEnabled(!error);
        const QString path = QString::fromLocal8Bit(device.c_str());
        QString text = device.empty() ? Lang("(no device)", "(无设备)") : path;
        if (IsAccessDenied(error)) {
            text += Lang(" (no access)", " (无权限)");
            if (hint.isEmpty())
                hint = QString::fromLocal8Bit(PortPermissionHint(device).c_str());
        } else if (error == std::errc::device_or_resource_busy) {
            text += Lang(" (in use)", " (占用)");
        }
        label->setText(fontMetrics().elidedText(text, Qt::ElideMiddle, 180));
        label->setToolTip(text);
        port->setToolTip(text);
    }
    m_pHint->setText(hint);
    m_pHint->setVisible(!hint.isEmpty());

    // The current port is checked when it can be opened; otherwise none is.
    QButtonGroup* group = PortButton(1)->group();
    group->setExclusive(false);
    for (QRadioButton* port : m_ports)
        port->setChecked(false);
    group->setExclusive(true);
    const std::optional<int> current = PortNumberFromName(g_strPortName);
    if (current && *current >= 1 && *current <= kPortCount && !ProbePort(CurrentPortDevice()))
        PortButton(*current)->setChecked(true);
    adjustSize();
}

void CPortSettingDlg::accept()
{
    if (const int number = CheckedPort())
        StorePortNumber(number);
    QDialog::accept();
}

void CPortSettingDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1)
        ContextHelp(Ids::ID_COM_SETUP);
    QDialog::keyPressEvent(event);
}
