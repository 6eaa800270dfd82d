#include "channels/ChannelPlanDlg.h"

#include "base/Globals.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CChannelPlanDlg::CChannelPlanDlg(std::vector<ChannelPlan> plans, const QString& userFolder, QWidget* parent)
    : QDialog(parent)
    , m_plans(std::move(plans))
{
    setObjectName(QStringLiteral("channelPlanDialog"));
    setWindowTitle(Lang("Channel Plan", "信道方案"));

    m_pList = new QListWidget(this);
    for (const ChannelPlan& plan : m_plans) {
        auto* item = new QListWidgetItem(ListLine(plan), m_pList);
        item->setToolTip(QDir::toNativeSeparators(QString::fromStdString(plan.path)));
    }
    if (!m_plans.empty())
        m_pList->setCurrentRow(0);

    auto* note = new QLabel(this);
    note->setWordWrap(true);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note->setText(userFolder.isEmpty()
                      ? Lang("The plan is laid onto the selected channels in order, or from channel 1.",
                             "方案按顺序写入所选信道，未选信道时从第1信道开始。")
                      : Lang("The plan is laid onto the selected channels in order, or from channel 1. Your own "
                             "plans (channel lists saved by Export Channels) go in %1.",
                             "方案按顺序写入所选信道，未选信道时从第1信道开始。自定义方案(用“导出信道”保存的信道表)"
                             "请放在 %1。")
                            .arg(QDir::toNativeSeparators(userFolder)));

    m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pButtons->button(QDialogButtonBox::Ok)->setText(Lang("OK", "确定"));
    m_pButtons->button(QDialogButtonBox::Cancel)->setText(Lang("Cancel", "取消"));
    m_pButtons->button(QDialogButtonBox::Ok)->setEnabled(!m_plans.empty());
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QListWidget::itemActivated, this, [this] { accept(); });
    connect(m_pList, &QListWidget::currentRowChanged, this,
            [this](int row) { m_pButtons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addWidget(note);
    layout->addWidget(m_pButtons);
    resize(420, 300);
}

QString CChannelPlanDlg::ListLine(const ChannelPlan& plan)
{
    return Lang("%1 (%2 channels)", "%1（%2个信道）")
        .arg(QString::fromStdString(plan.name))
        .arg(static_cast<qulonglong>(plan.channels));
}

std::optional<ChannelPlan> CChannelPlanDlg::Chosen() const
{
    const int row = m_pList->currentRow();
    if (result() != QDialog::Accepted || row < 0 || static_cast<std::size_t>(row) >= m_plans.size())
        return std::nullopt;
    return m_plans[static_cast<std::size_t>(row)];
}
