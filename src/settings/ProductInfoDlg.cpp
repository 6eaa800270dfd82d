#include "settings/ProductInfoDlg.h"

#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/DialogButtons.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"
#include "core/settings/ProductInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kListWidth = 200;

std::string EntryOrEmpty(const std::vector<std::string>& entries, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < entries.size() ? entries[static_cast<std::size_t>(index)]
                                                                          : std::string();
}

} // namespace

CProductInfoDlg::CProductInfoDlg(QWidget* owner)
    : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Blocks the main window only, so the help viewer stays usable.
    setWindowModality(Qt::WindowModal);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("settingGroup"));
    auto* typeLabel = new QLabel(group);
    typeLabel->setObjectName(QStringLiteral("typeLabel"));
    auto* bandLabel = new QLabel(group);
    bandLabel->setObjectName(QStringLiteral("frequencyLabel"));
    m_pType = new QComboBox(group);
    m_pBand = new QComboBox(group);
    SetControlId(m_pType, IDC_TYPE);
    SetControlId(m_pBand, IDC_FREQUENCY);
    m_pType->setMinimumWidth(kListWidth);
    m_pBand->setMinimumWidth(kListWidth);
    typeLabel->setBuddy(m_pType);
    bandLabel->setBuddy(m_pBand);
    auto* grid = new QGridLayout(group);
    grid->addWidget(typeLabel, 0, 0);
    grid->addWidget(m_pType, 0, 1);
    grid->addWidget(bandLabel, 1, 0);
    grid->addWidget(m_pBand, 1, 1);
    grid->setColumnStretch(1, 1);
    connect(m_pType, &QComboBox::currentIndexChanged, this, &CProductInfoDlg::OnSelChangeType);

    QDialogButtonBox* buttons = AddOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(help, &QShortcut::activated, this, &CProductInfoDlg::OnHelpKey);
}

int CProductInfoDlg::DoModal(const CIniFile& ini, RadioImage& image, std::uint32_t userType, std::uint32_t userBand)
{
    Prepare(ini, image, userType, userBand);
    OnInitDialog();
    return exec();
}

void CProductInfoDlg::Prepare(const CIniFile& ini, RadioImage& image, std::uint32_t userType, std::uint32_t userBand)
{
    m_pIni = &ini;
    m_pImage = &image;
    m_userType = userType;
    m_userBand = userBand;
    m_bImageChanged = false;
}

void CProductInfoDlg::OnInitDialog()
{
    if (g_pResources)
        g_pResources->ApplyDialog(this, Ids::IDD_PRODUCT_INFO);

    m_types = ProductTypes(*m_pIni);
    const ProductChoice choice = InitialProductChoice(*m_pIni, m_types.size(), m_userType, m_userBand);
    {
        const QSignalBlocker blocker(m_pType);
        m_pType->clear();
        for (const std::string& type : m_types)
            m_pType->addItem(ConfigText(type));
        m_pType->setCurrentIndex(choice.type);
    }
    ShowBands(choice.bands, choice.band);
    m_pType->setFocus();
}

void CProductInfoDlg::OnSelChangeType(int index)
{
    if (!m_pIni)
        return;
    const ProductChoice choice = ChoiceForType(*m_pIni, index);
    ShowBands(choice.bands, choice.band);
}

void CProductInfoDlg::ShowBands(const std::vector<std::string>& bands, int selected)
{
    m_bands = bands;
    m_pBand->clear();
    for (const std::string& band : m_bands)
        m_pBand->addItem(ConfigText(band));
    m_pBand->setCurrentIndex(selected);
}

void CProductInfoDlg::accept()
{
    if (m_pImage) {
        m_nType = m_pType->currentIndex();
        m_nBand = m_pBand->currentIndex();
        m_strTypeText = EntryOrEmpty(m_types, m_nType);
        m_strBandText = EntryOrEmpty(m_bands, m_nBand);
        m_bImageChanged = StoreProductChoice(m_nType, m_nBand, *m_pImage);
    }
    QDialog::accept();
}

void CProductInfoDlg::OnHelpKey()
{
    ContextHelp(ControlId(QApplication::focusWidget()));
}
