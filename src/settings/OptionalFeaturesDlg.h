#pragma once
// The Optional Features dialog: the twelve feature bytes of a radio image as
// drop-down lists, two check boxes and the transmit-delay edit with its
// up-down button. Each opening fills the lists in the given language, shows
// the settings the device mode has, and loads the bytes; OK rewrites all
// twelve bytes (hidden controls included), Cancel none.
//
// The window is cut short below the OK and Cancel buttons: the lower rows
// (side key, beep, battery saver, priority channel, VOX, VOX gain, voice
// annunciation, VOX delay) lie out of sight but are loaded and stored like
// the others. What the bytes mean and how the transmit delay is formatted
// are the core's rules; the caller marks the document modified when OK
// changed a byte (ImageChanged).

#include "core/document/RadioImage.h"

#include <QDialog>

class CSpinButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class COptionalFeaturesDlg : public QDialog
{
    Q_OBJECT
public:
    // Control IDs of dialog 132, also the help context numbers.
    static constexpr int IDC_VOX = 1007;
    static constexpr int IDC_PRIORITY_CHANNEL = 1006;
    static constexpr int IDC_TRANSMIT_DELAY = 1008;
    static constexpr int IDC_TRANSMIT_DELAY_SPIN = 1009;
    static constexpr int IDC_TIME_OUT_LABEL = 1010;
    static constexpr int IDC_TRANSMIT_DELAY_LABEL = 1011;
    static constexpr int IDC_SQUELCH_LABEL = 1012;
    static constexpr int IDC_BEEP = 1016;
    static constexpr int IDC_BATTERY_SAVER = 1017;
    static constexpr int IDC_SQUELCH_LEVEL = 1116;
    static constexpr int IDC_TIME_OUT_TIME = 1118;
    static constexpr int IDC_VOICE_ANNUNCIATION = 1119;
    static constexpr int IDC_SIDE_KEY = 1120;
    static constexpr int IDC_VOX_GAIN_LEVEL = 1121;
    static constexpr int IDC_VOX_DELAY_TIME = 1140;

    explicit COptionalFeaturesDlg(QWidget* owner = nullptr);

    // Opens modally on the image; QDialog::Accepted after OK.
    int DoModal(RadioImage& image, int deviceMode, bool chinese);

    // The steps of an opening, public so that they can be driven without
    // a modal loop: Prepare, then OnInitDialog, then accept() or reject().
    void Prepare(RadioImage& image, int deviceMode, bool chinese);
    void OnInitDialog();
    void FillLists();
    void ShowForDeviceMode();
    void LoadFromImage();
    void StoreToImage();
    void OnKillFocusTransmitDelay();
    void OnDeltaPosTransmitDelaySpin(int delta);

    // OK: stores the bytes, then closes.
    void accept() override;

    // Whether the last OK changed a byte of the image.
    bool ImageChanged() const { return m_bImageChanged; }

    QComboBox* List(int id) const;
    QLineEdit* TransmitDelayEdit() const { return m_pTransmitDelay; }
    CSpinButton* TransmitDelaySpin() const { return m_pSpin; }
    QCheckBox* CheckBox(int id) const;

    int m_nBatterySaver = 0; // check box 1017
    int m_nBeep = 0;         // check box 1016

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddLabel(int id, const char* objectName, int x, int y);
    QComboBox* AddList(int id, int x, int y);
    void OnHelpKey();

    RadioImage* m_pImage = nullptr;
    int m_nDeviceMode = 2;
    bool m_bChinese = false;
    bool m_bImageChanged = false;

    QLabel* m_pTimeOutLabel = nullptr;
    QLabel* m_pSquelchLabel = nullptr;
    QLabel* m_pTransmitDelayLabel = nullptr;
    QComboBox* m_pTimeOutTime = nullptr;
    QComboBox* m_pSquelchLevel = nullptr;
    QLineEdit* m_pTransmitDelay = nullptr;
    CSpinButton* m_pSpin = nullptr;
    QComboBox* m_pSideKey = nullptr;
    QComboBox* m_pPriorityChannel = nullptr;
    QComboBox* m_pVox = nullptr;
    QComboBox* m_pVoxGainLevel = nullptr;
    QComboBox* m_pVoiceAnnunciation = nullptr;
    QComboBox* m_pVoxDelayTime = nullptr;
    QCheckBox* m_pBeep = nullptr;
    QCheckBox* m_pBatterySaver = nullptr;
};
