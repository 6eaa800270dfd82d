#include "settings/OptionalFeaturesDlg.h"

#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"
#include "core/settings/OptionalFeatures.h"
#include "core/settings/RangeFormatting.h"
#include "settings/SpinButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

// The form, in pixels: two columns of a label and a list each.
constexpr int kLabelX1 = 12;
constexpr int kListX1 = 136;
constexpr int kLabelX2 = 262;
constexpr int kListX2 = 386;
constexpr int kLabelWidth = 122;
constexpr int kListWidth = 112;
constexpr int kRowHeight = 24;
constexpr int kWidth = kListX2 + kListWidth + 12;

// Rows of the upper part (always in sight).
constexpr int kTimeOutRow = 14;
constexpr int kTransmitDelayRow = 48;
constexpr int kButtonRow = 88;
// Rows of the lower part, below the window's shortened height.
constexpr int kSideKeyRow = 132;
constexpr int kPriorityRow = kSideKeyRow + 32;
constexpr int kVoxGainRow = kPriorityRow + 32;
constexpr int kVoxDelayRow = kVoxGainRow + 32;
constexpr int kFullHeight = kVoxDelayRow + kRowHeight + 14;

constexpr int kTransmitDelayMaxChars = 5;

void FillList(QComboBox* list, FeatureList which, bool chinese, bool emptyFirst = true)
{
    if (emptyFirst)
        list->clear();
    for (const std::string& item : FeatureListItems(which, chinese))
        list->addItem(QString::fromStdString(item));
}

} // namespace

COptionalFeaturesDlg::COptionalFeaturesDlg(QWidget* owner)
    : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Blocks the main window only, so the help viewer stays usable.
    setWindowModality(Qt::WindowModal);

    m_pTimeOutLabel = AddLabel(IDC_TIME_OUT_LABEL, nullptr, kLabelX1, kTimeOutRow);
    m_pTimeOutTime = AddList(IDC_TIME_OUT_TIME, kListX1, kTimeOutRow);
    m_pSquelchLabel = AddLabel(IDC_SQUELCH_LABEL, nullptr, kLabelX2, kTimeOutRow);
    m_pSquelchLevel = AddList(IDC_SQUELCH_LEVEL, kListX2, kTimeOutRow);

    m_pTransmitDelayLabel = AddLabel(IDC_TRANSMIT_DELAY_LABEL, nullptr, kLabelX1, kTransmitDelayRow);
    m_pTransmitDelay = new QLineEdit(this);
    SetControlId(m_pTransmitDelay, IDC_TRANSMIT_DELAY);
    m_pTransmitDelay->setGeometry(kListX1, kTransmitDelayRow, kListWidth - 18, kRowHeight);
    m_pTransmitDelay->installEventFilter(this);
    m_pSpin = new CSpinButton(this);
    SetControlId(m_pSpin, IDC_TRANSMIT_DELAY_SPIN);
    m_pSpin->setGeometry(kListX1 + kListWidth - 18, kTransmitDelayRow, 18, kRowHeight);
    connect(m_pSpin, &CSpinButton::deltaPos, this, &COptionalFeaturesDlg::OnDeltaPosTransmitDelaySpin);

    auto* ok = new QPushButton(this);
    auto* cancel = new QPushButton(this);
    SetControlId(ok, Ids::IDOK);
    SetControlId(cancel, Ids::IDCANCEL);
    ok->setDefault(true);
    ok->setGeometry(kLabelX2 + 12, kButtonRow, 100, 28);
    cancel->setGeometry(kListX2 + 12, kButtonRow, 100, 28);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QLabel* sideKeyLabel = AddLabel(0, "sideKeyLabel", kLabelX1, kSideKeyRow);
    m_pSideKey = AddList(IDC_SIDE_KEY, kListX1, kSideKeyRow);
    m_pBeep = new QCheckBox(this);
    SetControlId(m_pBeep, IDC_BEEP);
    m_pBeep->setGeometry(kLabelX2, kSideKeyRow, kLabelWidth, kRowHeight);
    m_pBatterySaver = new QCheckBox(this);
    SetControlId(m_pBatterySaver, IDC_BATTERY_SAVER);
    m_pBatterySaver->setGeometry(kListX2, kSideKeyRow, kListWidth, kRowHeight);

    QLabel* priorityLabel = AddLabel(0, "priorityChannelLabel", kLabelX1, kPriorityRow);
    m_pPriorityChannel = AddList(IDC_PRIORITY_CHANNEL, kListX1, kPriorityRow);
    QLabel* voxLabel = AddLabel(0, "voxLabel", kLabelX2, kPriorityRow);
    m_pVox = AddList(IDC_VOX, kListX2, kPriorityRow);
    // The resource's own entries; the bundle's template replaces them.
    FillList(m_pVox, FeatureList::Vox, false);

    QLabel* voxGainLabel = AddLabel(0, "voxGainLabel", kLabelX1, kVoxGainRow);
    m_pVoxGainLevel = AddList(IDC_VOX_GAIN_LEVEL, kListX1, kVoxGainRow);
    QLabel* voiceLabel = AddLabel(0, "voiceAnnunciationLabel", kLabelX2, kVoxGainRow);
    m_pVoiceAnnunciation = AddList(IDC_VOICE_ANNUNCIATION, kListX2, kVoxGainRow);

    QLabel* voxDelayLabel = AddLabel(0, "voxDelayLabel", kLabelX1, kVoxDelayRow);
    m_pVoxDelayTime = AddList(IDC_VOX_DELAY_TIME, kListX1, kVoxDelayRow);

    // Each list and the delay box read as the label beside them.
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {m_pTimeOutLabel, m_pTimeOutTime},         {m_pSquelchLabel, m_pSquelchLevel},
        {m_pTransmitDelayLabel, m_pTransmitDelay}, {sideKeyLabel, m_pSideKey},
        {priorityLabel, m_pPriorityChannel},       {voxLabel, m_pVox},
        {voxGainLabel, m_pVoxGainLevel},           {voiceLabel, m_pVoiceAnnunciation},
        {voxDelayLabel, m_pVoxDelayTime},
    };
    for (const auto& [label, control] : buddies)
        label->setBuddy(control);

    setFixedSize(kWidth, kFullHeight);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(help, &QShortcut::activated, this, &COptionalFeaturesDlg::OnHelpKey);
}

QLabel* COptionalFeaturesDlg::AddLabel(int id, const char* objectName, int x, int y)
{
    auto* label = new QLabel(this);
    if (id != 0)
        SetControlId(label, id);
    if (objectName)
        label->setObjectName(QString::fromLatin1(objectName));
    label->setGeometry(x, y, kLabelWidth, kRowHeight);
    return label;
}

QComboBox* COptionalFeaturesDlg::AddList(int id, int x, int y)
{
    auto* list = new QComboBox(this);
    SetControlId(list, id);
    list->setGeometry(x, y, kListWidth, kRowHeight);
    list->setMaxVisibleItems(12);
    return list;
}

int COptionalFeaturesDlg::DoModal(RadioImage& image, int deviceMode, bool chinese)
{
    Prepare(image, deviceMode, chinese);
    OnInitDialog();
    return exec();
}

void COptionalFeaturesDlg::Prepare(RadioImage& image, int deviceMode, bool chinese)
{
    m_pImage = &image;
    m_nDeviceMode = deviceMode;
    m_bChinese = chinese;
    m_bImageChanged = false;
}

void COptionalFeaturesDlg::OnInitDialog()
{
    if (g_pResources)
        g_pResources->ApplyDialog(this, Ids::IDD_OPTIONAL_FEATURES);
    FillLists();
    ShowForDeviceMode();
    LoadFromImage();
    const QList<QWidget*> first = {m_pTimeOutTime, m_pSquelchLevel};
    for (QWidget* widget : first) {
        if (!widget->isHidden()) {
            widget->setFocus();
            break;
        }
    }
}

void COptionalFeaturesDlg::FillLists()
{
    // Only the upper part stays in sight; the lower rows keep working.
    setFixedSize(width(), m_pSideKey->y() - 1);

    m_pTransmitDelay->setMaxLength(kTransmitDelayMaxChars);
    const RangeFormat format = TransmitDelayFormat(m_bChinese);
    m_pSpin->SetRange32(format.minimum, format.maximum);

    FillList(m_pTimeOutTime, FeatureList::TimeOutTime, m_bChinese);
    FillList(m_pSquelchLevel, FeatureList::SquelchLevel, m_bChinese);
    FillList(m_pPriorityChannel, FeatureList::PriorityChannel, m_bChinese);
    FillList(m_pVoiceAnnunciation, FeatureList::VoiceAnnunciation, m_bChinese);
    FillList(m_pVoxGainLevel, FeatureList::VoxGainLevel, m_bChinese);
    FillList(m_pVoxDelayTime, FeatureList::VoxDelayTime, m_bChinese);
    FillList(m_pSideKey, FeatureList::SideKey, m_bChinese);
}

void COptionalFeaturesDlg::ShowForDeviceMode()
{
    // Mode 1 radios have a squelch setting only, mode 2 radios the time-out
    // timer and the transmit delay only; mode 0 shows everything.
    const bool squelch = m_nDeviceMode != 2;
    const bool transmitSide = m_nDeviceMode != 1;
    m_pSquelchLabel->setVisible(squelch);
    m_pSquelchLevel->setVisible(squelch);
    for (QWidget* widget : std::initializer_list<QWidget*>{m_pTimeOutLabel, m_pTimeOutTime, m_pTransmitDelayLabel,
                                                           m_pTransmitDelay, m_pSpin})
        widget->setVisible(transmitSide);
}

void COptionalFeaturesDlg::LoadFromImage()
{
    const FeatureSettings settings = LoadFeatureSettings(*m_pImage, m_bChinese);
    m_pSideKey->setCurrentIndex(settings.sideKey);
    m_pSquelchLevel->setCurrentIndex(settings.squelchLevel);
    m_pTimeOutTime->setCurrentIndex(settings.timeOutTime);
    m_pVoiceAnnunciation->setCurrentIndex(settings.voiceAnnunciation);
    m_pVoxGainLevel->setCurrentIndex(settings.voxGainLevel);
    m_pVoxDelayTime->setCurrentIndex(settings.voxDelayTime);
    m_pVox->setCurrentIndex(settings.vox < m_pVox->count() ? settings.vox : -1);
    m_pPriorityChannel->setCurrentIndex(settings.priorityChannel);
    m_nBatterySaver = settings.batterySaver ? 1 : 0;
    m_nBeep = settings.beep ? 1 : 0;
    m_pTransmitDelay->setText(QString::fromStdString(settings.transmitDelay));
    m_pBatterySaver->setChecked(m_nBatterySaver != 0);
    m_pBeep->setChecked(m_nBeep != 0);
}

void COptionalFeaturesDlg::StoreToImage()
{
    m_nBatterySaver = m_pBatterySaver->isChecked() ? 1 : 0;
    m_nBeep = m_pBeep->isChecked() ? 1 : 0;

    // The edit shows what is stored: its canonical form.
    OnKillFocusTransmitDelay();

    FeatureSettings settings;
    settings.sideKey = m_pSideKey->currentIndex();
    settings.voiceAnnunciation = m_pVoiceAnnunciation->currentIndex();
    settings.timeOutTime = m_pTimeOutTime->currentIndex();
    settings.squelchLevel = m_pSquelchLevel->currentIndex();
    settings.vox = m_pVox->currentIndex();
    settings.voxGainLevel = m_pVoxGainLevel->currentIndex();
    settings.voxDelayTime = m_pVoxDelayTime->currentIndex();
    settings.priorityChannel = m_pPriorityChannel->currentIndex();
    settings.batterySaver = m_nBatterySaver != 0;
    settings.beep = m_nBeep != 0;
    settings.transmitDelay = m_pTransmitDelay->text().toStdString();
    if (StoreFeatureSettings(settings, m_bChinese, *m_pImage))
        m_bImageChanged = true;
}

void COptionalFeaturesDlg::OnKillFocusTransmitDelay()
{
    const CRangeEditFormatter formatter(TransmitDelayFormat(m_bChinese));
    const std::string text = formatter.Canonical(m_pTransmitDelay->text().toStdString());
    m_pTransmitDelay->setText(QString::fromStdString(text));
}

void COptionalFeaturesDlg::OnDeltaPosTransmitDelaySpin(int delta)
{
    const CRangeSpinStepper stepper(TransmitDelayFormat(m_bChinese));
    const std::string text =
        stepper.Step(m_pTransmitDelay->text().toStdString(), delta, m_pSpin->Lower(), m_pSpin->Upper());
    m_pTransmitDelay->setText(QString::fromStdString(text));
}

void COptionalFeaturesDlg::accept()
{
    if (m_pImage)
        StoreToImage();
    QDialog::accept();
}

QComboBox* COptionalFeaturesDlg::List(int id) const
{
    for (QComboBox* list : findChildren<QComboBox*>()) {
        if (ControlId(list) == id)
            return list;
    }
    return nullptr;
}

QCheckBox* COptionalFeaturesDlg::CheckBox(int id) const
{
    return id == IDC_BEEP ? m_pBeep : (id == IDC_BATTERY_SAVER ? m_pBatterySaver : nullptr);
}

bool COptionalFeaturesDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pTransmitDelay) {
        if (event->type() == QEvent::FocusOut) {
            OnKillFocusTransmitDelay();
        } else if (event->type() == QEvent::KeyPress && !m_pSpin->isHidden()) {
            // The arrow keys in the edit work the up-down button.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                OnDeltaPosTransmitDelaySpin(key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void COptionalFeaturesDlg::OnHelpKey()
{
    ContextHelp(ControlId(QApplication::focusWidget()));
}
