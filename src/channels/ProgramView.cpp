#include "channels/ProgramView.h"

#include "app/ContextHelp.h"
#include "app/ControlId.h"
#include "app/Globals.h"
#include "app/LanguageDlg.h"
#include "app/ProgramApp.h"
#include "app/ResourceIds.h"
#include "app/UserStore.h"
#include "core/channels/ChannelTable.h"
#include "document/ProgramDoc.h"
#include "frame/MainFrame.h"
#include "link/RadioLink.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QShortcut>
#include <QVBoxLayout>

CProgramView::CProgramView(CProgramDoc* document)
    : m_pDocument(document)
{
    m_pDocument->SetView(this);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    m_pTitle = new QLabel(this);
    SetControlId(m_pTitle, Ids::IDC_TITLE_STATIC);
    m_pTitle->setAlignment(Qt::AlignCenter);
    QFont font = m_pTitle->font();
    font.setFamilies({QString::fromUtf8("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(12);
    m_pTitle->setFont(font);
    QPalette titlePalette = m_pTitle->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(250, 10, 10));
    m_pTitle->setPalette(titlePalette);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTitle);
    layout->addStretch(1);

    m_pLanguageDlg = new CLanguageDlg(this);

    RadioLinkHost link;
    link.view = this;
    link.image = [this]() -> RadioImage& { return m_pDocument->m_image; };
    link.commitEdit = [] {};
    link.gridToImage = [this] { GridToImage(); };
    link.imageToGrid = [this] { ImageToGrid(); };
    link.blockEditing = [](bool) {};
    link.markModified = [] {};
    m_pRadioLink = new CRadioLink(std::move(link));

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(help, &QShortcut::activated, this, &CProgramView::OnHelpKey);
}

CProgramView::~CProgramView()
{
    if (m_pDocument->GetView() == this)
        m_pDocument->SetView(nullptr);
}

void CProgramView::OnInitialUpdate()
{
    if (QWidget* frame = parentWidget()) {
        // Shrink only, never enlarge.
        if (frame->layout())
            frame->layout()->activate();
        const QSize decoration = frame->size() - size();
        const QSize fit = QSize(kFormWidth, kFormHeight) + decoration;
        frame->resize(frame->size().boundedTo(fit));
    }
    m_pTitle->setText(IniText(IsChinese() ? "Chinese" : "English", "Title"));
    const QIcon icon(g_strAppDir + QStringLiteral("title.ico"));
    if (!icon.isNull() && parentWidget())
        parentWidget()->setWindowIcon(icon);
    ImageToGrid();
}

void CProgramView::ImageToGrid()
{
    RadioImage& image = m_pDocument->m_image;
    CUserStore store = CUserStore::ForApplication();
    if (g_byNewDocument) {
        image[ImageMap::kRadioType] = static_cast<std::uint8_t>(store.QueryDword("Type", 0) & 0xFF);
        image[ImageMap::kBandIndex] = static_cast<std::uint8_t>(store.QueryDword("Field", 0) & 0xFF);
    } else {
        store.SetDword("Type", image[ImageMap::kRadioType]);
        store.SetDword("Field", image[ImageMap::kBandIndex]);
    }
    UpdateTitleAndBand();
}

void CProgramView::GridToImage()
{
}

void CProgramView::UpdateTitleAndBand()
{
    const RadioImage& image = m_pDocument->m_image;
    const int k = image[ImageMap::kRadioType] + 1;
    const int b = image[ImageMap::kBandIndex];
    const std::string typeName = g_iniFile.GetValue("Setup", "Type" + std::to_string(k), "");
    const std::string bandList = g_iniFile.GetValue("Setup", "Field" + std::to_string(k), "");
    const std::string bandText = BandText(bandList, b);

    g_strMainTitle = LanguageText("AppName") + Lang("  [ Type:", "  [ 类型:") + ConfigText(typeName)
                     + Lang("  Fre:", "  频率:") + ConfigText(bandText) + QStringLiteral(" ]");
    if (QWidget* main = theApp ? theApp->MainWindow() : nullptr)
        main->setWindowTitle(g_strMainTitle);
    BandLimits(bandText, m_nBandLow, m_nBandHigh);
}

bool CProgramView::OnCmdMsg(int id, CCmdUI* ui)
{
    if (m_pRadioLink->OnCmdMsg(id, ui))
        return true;
    if (id == Ids::ID_LANGUAGE) {
        if (!ui)
            OnLanguage();
        return true;
    }
    return false;
}

void CProgramView::OnLanguage()
{
    if (m_pLanguageDlg->exec() != QDialog::Accepted || !m_pLanguageDlg->m_bChanged)
        return;
    // Closing the main window destroys this view: nothing of it is used
    // after the next call.
    theApp->CloseAndRestart();
}

void CProgramView::OnHelpKey()
{
    ContextHelp(ControlId(QApplication::focusWidget()));
}
