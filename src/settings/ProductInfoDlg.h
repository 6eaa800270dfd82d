#pragma once
// The Product Information dialog: the radio type and frequency band of a
// radio image, chosen from the lists of Program.ini. It opens on the
// per-user type and band the caller hands in; changing the type offers that
// type's bands with the first one selected. OK stores both indices in the
// image and keeps the choice (indices and texts) for the caller, which sets
// the main window title, the band limits and the per-user values from it;
// Cancel changes nothing.

#include "core/app/IniFile.h"
#include "core/document/RadioImage.h"

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QComboBox;

class CProductInfoDlg : public QDialog
{
    Q_OBJECT
public:
    // Control IDs of dialog 136, also the help context numbers.
    static constexpr int IDC_TYPE = 1013;
    static constexpr int IDC_FREQUENCY = 1014;

    explicit CProductInfoDlg(QWidget* owner = nullptr);

    // Opens modally; QDialog::Accepted after OK.
    int DoModal(const CIniFile& ini, RadioImage& image, std::uint32_t userType, std::uint32_t userBand);

    // The steps of an opening, public so that they can be driven without a
    // modal loop: Prepare, then OnInitDialog, then accept() or reject().
    void Prepare(const CIniFile& ini, RadioImage& image, std::uint32_t userType, std::uint32_t userBand);
    void OnInitDialog();
    void OnSelChangeType(int index);
    // OK: stores the choice in the image, then closes.
    void accept() override;

    QComboBox* TypeList() const { return m_pType; }
    QComboBox* BandList() const { return m_pBand; }

    // The choice of the last OK: indices (-1 for a list without a selection)
    // and the texts the lists showed, as Program.ini holds them.
    int m_nType = -1;
    int m_nBand = -1;
    std::string m_strTypeText;
    std::string m_strBandText;
    // Whether the last OK changed the image.
    bool m_bImageChanged = false;

private:
    void ShowBands(const std::vector<std::string>& bands, int selected);
    void OnHelpKey();

    const CIniFile* m_pIni = nullptr;
    RadioImage* m_pImage = nullptr;
    std::uint32_t m_userType = 0;
    std::uint32_t m_userBand = 0;
    std::vector<std::string> m_types;
    std::vector<std::string> m_bands;
    QComboBox* m_pType = nullptr;
    QComboBox* m_pBand = nullptr;
};
