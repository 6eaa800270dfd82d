#include "channels/ProgramView.h"

#include "base/AppServices.h"
#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "channels/ChannelBulkCommands.h"
#include "channels/ChannelCsvCommands.h"
#include "channels/ChannelRowCommands.h"
#include "channels/GridAccessible.h"
#include "channels/MSFlexGrid.h"
#include "channels/PrintCommands.h"
#include "core/channels/ChannelPlans.h"
#include "core/document/MainTitle.h"
#include "link/RadioLink.h"
#include "settings/LanguageDlg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// The text of a command in the document menu of the running language
// ("Cu&t"); "" when the menu has no such command.
QString CommandText(const QList<MenuResourceItem>& items, int id)
{
    for (const MenuResourceItem& item : items) {
        if (item.id == id && !item.separator)
            return item.text;
        if (item.IsPopup()) {
            if (const QString text = CommandText(item.items, id); !text.isEmpty())
                return text;
        }
    }
    return {};
}

} // namespace

CProgramView::CProgramView(CProgramDoc* document, IAppServices& app)
    : m_pDocument(document)
    , m_app(app)
    , m_session(document->EditedChannels(), IsChinese())
{
    connect(m_pDocument, &CProgramDoc::channelsChanged, this, &CProgramView::OnChannelsChanged);
    connect(m_pDocument, &CProgramDoc::pendingEditRequested, this, &CProgramView::OnPendingEditRequested);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    m_pTitle = new QLabel(this);
    SetControlId(m_pTitle, Ids::IDC_TITLE_STATIC);
    m_pTitle->setAlignment(Qt::AlignCenter);
    QFont font = m_pTitle->font();
    font.setFamilies({QString::fromUtf8("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(12);
    m_pTitle->setFont(font);
    QPalette titlePalette = m_pTitle->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(250, 10, 10));
    m_pTitle->setPalette(titlePalette);

    m_pGrid = new CMSFlexGrid(kTableRows, kTableCols, this);
    SetControlId(m_pGrid, Ids::IDC_GRID);
    InstallGridAccessibility(m_pGrid); // accessibility: named cells, the framed cell as focus
    m_pGrid->installEventFilter(this);
    connect(m_pGrid, &CMSFlexGrid::EnterCell, this, &CProgramView::OnEnterCell);
    connect(m_pGrid, &CMSFlexGrid::LeaveCell, this, &CProgramView::OnLeaveCell);
    connect(m_pGrid, &CMSFlexGrid::MouseDown, this, &CProgramView::OnGridMouseDown);
    // The channel numbers select channels; the grid and the numbers offer
    // the row commands in a context menu.
    m_pGrid->verticalHeader()->viewport()->installEventFilter(this);
    m_pGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowContextMenu(m_pGrid->viewport()->mapTo(m_pGrid, pos)); });
    m_pGrid->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pGrid->verticalHeader(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowContextMenu(m_pGrid->verticalHeader()->mapTo(m_pGrid, pos)); });
    CreateRowActions();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTitle);
    layout->addWidget(m_pGrid, 1);
    setFocusProxy(m_pGrid);

    m_pLanguageDlg = new CLanguageDlg(this);
    m_pPrintCommands = std::make_unique<CPrintCommands>(
        this, [this] { return m_app.Printer(); },
        [this] {
            // A value still being typed is printed as it will be saved.
            m_pDocument->CommitPendingEdit();
            return ViewListingContent(GridTexts(), m_pDocument->Image());
        });
    m_pPrintCommands->m_isAvailable = [this] { return !m_bEditingBlocked; };
    m_pPrintCommands->m_documentPath = [this] {
        return m_pDocument->HasFile() ? m_pDocument->GetPathName() : m_pDocument->GetTitle();
    };

    RadioLinkHost link;
    link.view = this;
    link.document = m_pDocument;
    link.blockEditing = [this](bool blocked) { SetEditingBlocked(blocked); };
    m_pRadioLink = new CRadioLink(std::move(link));
}

CProgramView::~CProgramView() = default;

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
    if (m_bFirstInit) {
        BuildGrid();
        CreateEditors();
        m_bFirstInit = false;
    }
    const QIcon icon(g_strAppDir + QStringLiteral("title.ico"));
    if (!icon.isNull() && parentWidget())
        parentWidget()->setWindowIcon(icon);
    ImageToGrid();
    m_pGrid->setFocus(Qt::OtherFocusReason);
    // A new or opened document starts its undo history here.
    m_pDocument->ResetHistory();
}

void CProgramView::BuildGrid()
{
    m_pGrid->SetBackColorBkg(QColor(255, 255, 255));
    m_pGrid->SetForeColorFixed(QColor(0, 50, 240));
    const ChannelTable& table = GridTexts();
    for (int column = 0; column < kTableCols; ++column)
        m_pGrid->SetTextMatrix(0, column, Text(table[0][static_cast<std::size_t>(column)]));
    m_pTitle->setText(IniText(IsChinese() ? "Chinese" : "English", "Title"));
    for (int row = 1; row < kTableRows; ++row)
        m_pGrid->SetTextMatrix(row, 0, Text(table[static_cast<std::size_t>(row)][kColChannel]));
    for (int column = 0; column < m_pGrid->GetCols(); ++column)
        m_pGrid->SetColAlignment(column, 4);
    for (int column : {kColBusyLock, kColPower}) {
        m_pGrid->SetColWidth(column, 0);
        m_pGrid->SetColAlignment(column, 0);
    }
}

// ---- Showing the document ------------------------------------------------

void CProgramView::OnChannelsChanged(bool whole)
{
    if (!whole) {
        CopyTableToGrid();
        SyncEditors();
        return;
    }
    const int mode = g_nDeviceMode;
    const std::array<int, kTableCols> widths = ColumnWidths(mode);
    for (int column = 0; column < m_pGrid->GetCols(); ++column) {
        const int width = widths[static_cast<std::size_t>(column)];
        m_pGrid->SetColWidth(column, width);
        m_pGrid->SetColAlignment(column, width != 0 ? 4 : 0);
    }
    ApplyEnabled();
    m_session.SetDeviceMode(mode);
    CopyTableToGrid();
    UpdateHighlight();
    UpdateTitleAndBand();
}

void CProgramView::OnPendingEditRequested(bool closeEditors)
{
    OnLeaveCell();
    if (closeEditors)
        HideEditors();
}

void CProgramView::HideEditors()
{
    // The busy-lock and power editors are left as they are.
    const int column = m_session.EditorColumn();
    if (column >= 1 && column <= kColScan)
        m_session.HideEditor();
    SyncEditors();
}

void CProgramView::UpdateTitleAndBand()
{
    const ProductTexts product = ProductTextsOfImage(g_iniFile, m_pDocument->Image());
    const std::string title =
        MainWindowTitle(LanguageText("AppName").toStdString(), ConfigText(product.typeName).toStdString(),
                        ConfigText(product.bandText).toStdString(), IsChinese());
    g_strMainTitle = QString::fromStdString(title);
    if (QWidget* main = m_app.MainWindow())
        main->setWindowTitle(g_strMainTitle);
    BandLimits(product.bandText, m_nBandLow, m_nBandHigh);
}

void CProgramView::CopyTableToGrid()
{
    const ChannelTable& table = GridTexts();
    for (int row = 1; row < kTableRows; ++row) {
        for (int column = 1; column < kTableCols; ++column)
            m_pGrid->SetTextMatrix(row, column,
                                   Text(table[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
    }
}

void CProgramView::SetEditingBlocked(bool blocked)
{
    m_bEditingBlocked = blocked;
    if (blocked) {
        m_session.HideEditor();
        SyncEditors();
    }
    ApplyEnabled();
}

void CProgramView::ApplyEnabled()
{
    const bool enabled = GridEnabled(g_nDeviceMode) && !m_bEditingBlocked;
    m_pGrid->setEnabled(enabled);
    m_session.SetEnabled(enabled);
    emit editableChanged();
}

// ---- Selected channels ---------------------------------------------------

int CProgramView::CurrentChannel() const
{
    return m_pGrid->GetRow();
}

int CProgramView::CurrentColumn() const
{
    int row = 0;
    int column = 0;
    m_session.ShownCell(row, column);
    return column;
}

// Fill Down, Ctrl+Enter, Sort and Channel Plan: the shipped plans lie
// beside the program, the user's in the per-user data folder.
CChannelBulkCommands CProgramView::BulkCommands()
{
    return CChannelBulkCommands(*this, Prompter(), g_strAppDir + QString::fromLatin1(kPlansFolder),
                                QString::fromStdString(UserPlansDirectory()));
}

void CProgramView::SelectChannels(const std::vector<int>& channels)
{
    m_selection.Set(channels);
    ShowSelection();
}

void CProgramView::DropPendingEdit()
{
    m_session.HideEditor();
    SyncEditors();
    UpdateHighlight();
}

void CProgramView::ShowSelection()
{
    const QBrush selected(QColor(200, 222, 248));
    for (int row = 1; row < kTableRows; ++row) {
        const bool on = m_selection.Contains(row);
        for (int column = 1; column < kTableCols; ++column) {
            if (QTableWidgetItem* item = m_pGrid->item(row - 1, column - 1))
                item->setBackground(on ? selected : QBrush());
        }
    }
}

void CProgramView::OnChannelNumberPressed(int channel, Qt::KeyboardModifiers modifiers)
{
    // A value being typed is committed as when its cell is left.
    OnLeaveCell();
    if (modifiers & Qt::ShiftModifier)
        m_selection.ExtendTo(channel);
    else if (modifiers & Qt::ControlModifier)
        m_selection.Toggle(channel);
    else
        m_selection.SelectOnly(channel);
    ShowSelection();
    m_pGrid->setFocus(Qt::MouseFocusReason);
}

// ---- Row commands --------------------------------------------------------

void CProgramView::CreateRowActions()
{
    for (const RowCommandKey& entry : RowCommandKeys()) {
        auto* action = new QAction(m_pGrid);
        action->setShortcut(
            QKeySequence(QKeyCombination::fromCombined(entry.stroke.key | static_cast<int>(entry.stroke.modifiers))));
        action->setShortcutContext(Qt::WidgetShortcut);
        const int id = CChannelRowCommands::CommandOfKey(entry.command);
        action->setProperty("commandId", id);
        connect(action, &QAction::triggered, this, [this, id] {
            if (!m_session.EditorOpen())
                RunCommand(id);
        });
        m_pGrid->addAction(action);
    }
}

void CProgramView::RunCommand(int id)
{
    CCmdUI ui(id);
    if (OnCmdMsg(id, &ui) && ui.m_bEnabled)
        OnCmdMsg(id, nullptr);
}

void CProgramView::ShowContextMenu(const QPoint& pos)
{
    // The items carry the Edit menu's texts of the running language.
    const QList<MenuResourceItem> menuItems =
        g_pResources ? g_pResources->LoadMenu(Ids::IDR_PROGRAMTYPE) : QList<MenuResourceItem>();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("channelContextMenu"));
    for (int id : CChannelRowCommands::ContextMenuCommands()) {
        if (id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(CommandText(menuItems, id));
        action->setProperty("commandId", id);
        CCmdUI ui(id);
        action->setEnabled(OnCmdMsg(id, &ui) && ui.m_bEnabled);
    }
    if (const QAction* chosen = menu.exec(m_pGrid->mapToGlobal(pos)))
        RunCommand(chosen->property("commandId").toInt());
}

bool CProgramView::OnRowKey(const QKeyEvent& key)
{
    if (m_session.EditorOpen())
        return false;
    const RowKey rowKey = RowKeyOf({key.key(), static_cast<unsigned>(key.modifiers().toInt())});
    switch (rowKey.action) {
    case RowKeyAction::None: return false;
    case RowKeyAction::Command:
        // The key of an action the shortcut did not take (a window that is
        // not active).
        RunCommand(CChannelRowCommands::CommandOfKey(rowKey.command));
        return true;
    case RowKeyAction::ContextMenu: {
        const QRect cell = m_pGrid->visualRect(m_pGrid->model()->index(m_pGrid->GetRow() - 1, m_pGrid->GetCol() - 1));
        ShowContextMenu(m_pGrid->viewport()->mapTo(m_pGrid, cell.center()));
        return true;
    }
    case RowKeyAction::EndSelection:
        // A plain move or Enter ends the selection and goes on as usual.
        SelectChannels({});
        return false;
    case RowKeyAction::SelectCurrent:
        m_selection.SelectOnly(CurrentChannel());
        ShowSelection();
        return true;
    case RowKeyAction::ExtendSelection: {
        if (m_selection.Empty())
            m_selection.SelectOnly(CurrentChannel());
        int row = 0;
        int column = 0;
        m_session.Destination(rowKey.move, row, column);
        MoveQuietly(row, column);
        m_selection.ExtendTo(row);
        ShowSelection();
        return true;
    }
    }
    return false;
}

bool CProgramView::OnCmdMsg(int id, CCmdUI* ui)
{
    if (m_pRadioLink->OnCmdMsg(id, ui))
        return true;
    if (CChannelCsvCommands(*this, Prompter()).OnCmdMsg(id, ui))
        return true;
    if (CChannelRowCommands(*this, Prompter(), QApplication::clipboard()).OnCmdMsg(id, ui))
        return true;
    if (BulkCommands().OnCmdMsg(id, ui))
        return true;
    if (id == Ids::ID_LANGUAGE) {
        if (!ui)
            OnLanguage();
        return true;
    }
    return m_pPrintCommands->OnCmdMsg(id, ui);
}

void CProgramView::OnLanguage()
{
    if (m_pLanguageDlg->exec() != QDialog::Accepted || !m_pLanguageDlg->m_bChanged)
        return;
    // Closing the main window destroys this view: nothing of it is used
    // after the next call.
    m_app.CloseAndRestart();
}

void CProgramView::OnHelpKey()
{
    ContextHelp(ControlId(QApplication::focusWidget()));
}
