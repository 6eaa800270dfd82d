#include "channels/ProgramView.h"

#include "base/AppServices.h"
#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "settings/LanguageDlg.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "channels/ChannelCsvCommands.h"
#include "channels/ChannelRowCommands.h"
#include "channels/GridAccessible.h"  // accessibility
#include "channels/MSFlexGrid.h"
#include "channels/PrintCommands.h"
#include "core/settings/ProductInfo.h"
#include "document/ProgramDoc.h"
#include "link/RadioLink.h"

#include <algorithm>
#include <functional>
#include <optional>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHash>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Control IDs of the editors, by data column.
constexpr int kEditorIds[kTableCols] = {0, 2127, 2128, 2132, 2133, 2134, 2135, 1130, 1129};

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// A text box without a border that takes no more text than fits its width,
// as a box without horizontal scrolling does.
class CCellEdit : public QLineEdit
{
public:
    explicit CCellEdit(QWidget* parent)
        : QLineEdit(parent)
    {
        setFrame(false);
        connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!Fits(text)) {
                const QSignalBlocker blocker(this);
                setText(m_accepted);
            } else {
                m_accepted = text;
            }
        });
        connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (Fits(text) || text.isEmpty())
                m_accepted = text;
        });
    }

protected:
    // Keys the box does not use go nowhere: an arrow key must never reach
    // the grid below and move its current cell.
    void keyPressEvent(QKeyEvent* event) override
    {
        QLineEdit::keyPressEvent(event);
        event->accept();
    }

private:
    bool Fits(const QString& text) const
    {
        const QMargins margins = textMargins() + contentsMargins();
        const int room = width() - margins.left() - margins.right() - 4;
        return fontMetrics().horizontalAdvance(text) <= room;
    }

    QString m_accepted;
};

// A drop-down list whose keys never reach the grid below it. While it is
// loaded with a text none of its items offers, that text is shown as an
// extra first item.
class CCellList : public QComboBox
{
public:
    explicit CCellList(QWidget* parent)
        : QComboBox(parent)
    {
    }

    void ShowUnlisted(const QString& text)
    {
        DropUnlisted();
        insertItem(0, text);
        m_bUnlisted = true;
        setCurrentIndex(0);
    }

    void DropUnlisted()
    {
        if (m_bUnlisted) {
            removeItem(0);
            m_bUnlisted = false;
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        QComboBox::keyPressEvent(event);
        event->accept();
    }

private:
    bool m_bUnlisted = false;
};

// The grid move a key asks for, when it asks for one.
std::optional<GridMove> GridMoveOfKey(int key)
{
    switch (key) {
    case Qt::Key_Left: return GridMove::Left;
    case Qt::Key_Right: return GridMove::Right;
    case Qt::Key_Up: return GridMove::Up;
    case Qt::Key_Down: return GridMove::Down;
    case Qt::Key_Home: return GridMove::Home;
    case Qt::Key_End: return GridMove::End;
    case Qt::Key_PageUp: return GridMove::PageUp;
    case Qt::Key_PageDown: return GridMove::PageDown;
    case Qt::Key_Tab: return GridMove::Next;
    case Qt::Key_Backtab: return GridMove::Previous;
    default: return std::nullopt;
    }
}

bool IsEnterKey(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
           && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

CProgramView::CProgramView(CProgramDoc* document, IAppServices& app)
    : m_pDocument(document)
    , m_app(app)
    , m_session(IsChinese())
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
    font.setFamilies({QString::fromUtf8("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(12);
    m_pTitle->setFont(font);
    QPalette titlePalette = m_pTitle->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(250, 10, 10));
    m_pTitle->setPalette(titlePalette);

    m_pGrid = new CMSFlexGrid(kTableRows, kTableCols, this);
    SetControlId(m_pGrid, Ids::IDC_GRID);
    InstallGridAccessibility(m_pGrid);  // accessibility: named cells, the framed cell as focus
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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTitle);
    layout->addWidget(m_pGrid, 1);
    setFocusProxy(m_pGrid);

    m_pLanguageDlg = new CLanguageDlg(this);
    m_pPrintCommands = std::make_unique<CPrintCommands>(
        this, [this] { return m_app.Printer(); }, [this] {
            // A value still being typed is printed as it will be saved.
            OnLeaveCell();
            return ViewListingContent(GridTexts(), m_pDocument->m_image);
        });
    m_pPrintCommands->m_isAvailable = [this] { return !m_bEditingBlocked; };
    m_pPrintCommands->m_documentPath = [this] {
        return m_pDocument->HasFile() ? m_pDocument->GetPathName() : m_pDocument->GetTitle();
    };

    RadioLinkHost link;
    link.view = this;
    link.image = [this]() -> RadioImage& { return m_pDocument->m_image; };
    link.commitEdit = [this] { OnLeaveCell(); };
    link.gridToImage = [this] { GridToImage(); };
    link.imageToGrid = [this] { ImageToGrid(); };
    link.blockEditing = [this](bool blocked) { SetEditingBlocked(blocked); };
    link.markModified = [this] { m_pDocument->RecordChange(Lang("Read", "读频")); };
    link.saveModified = [this] { return m_pDocument->SaveModified(); };
    m_pRadioLink = new CRadioLink(std::move(link));
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
    const ChannelTable& table = m_session.Table();
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

void CProgramView::CreateEditors()
{
    const bool chinese = IsChinese();
    for (int column = 1; column < kTableCols; ++column) {
        QWidget* editor = nullptr;
        if (IsListColumn(column)) {
            auto* list = new CCellList(m_pGrid);
            for (const std::string& item : EditorItems(column, chinese))
                list->addItem(Text(item));
            // The opened list has about 100 pixels, as the box is made
            // that much higher than the cell for it.
            list->setMaxVisibleItems(std::max(5, 100 / std::max(1, list->fontMetrics().height())));
            editor = list;
        } else {
            editor = new CCellEdit(m_pGrid);
        }
        editor->setFont(m_pGrid->font());
        editor->setGeometry(0, 0, 0, 0);
        editor->hide();
        editor->installEventFilter(this);
        SetControlId(editor, kEditorIds[column]);
        m_editors[static_cast<std::size_t>(column)] = editor;
    }
}

QWidget* CProgramView::EditorForColumn(int column) const
{
    if (column < 2 || column > 8)
        column = 1;
    return m_editors[static_cast<std::size_t>(column)];
}

void CProgramView::ImageToGrid()
{
    const int mode = g_nDeviceMode;
    const std::array<int, kTableCols> widths = ColumnWidths(mode);
    for (int column = 0; column < m_pGrid->GetCols(); ++column) {
        const int width = widths[static_cast<std::size_t>(column)];
        m_pGrid->SetColWidth(column, width);
        m_pGrid->SetColAlignment(column, width != 0 ? 4 : 0);
    }
    ApplyEnabled();

    m_session.SetDeviceMode(mode);
    RadioImage& image = m_pDocument->m_image;
    ImageToTable(image, mode, IsChinese(), m_session.Table());
    m_session.ClearDeletedRows();
    m_shownTexts = m_session.Table();
    CopyTableToGrid();
    UpdateHighlight();

    CUserStore store = CUserStore::ForApplication();
    if (g_byNewDocument) {
        image[ImageMap::kRadioType] = static_cast<std::uint8_t>(store.QueryDword("Type", 0) & 0xFF);
        image[ImageMap::kBandIndex] = static_cast<std::uint8_t>(store.QueryDword("Field", 0) & 0xFF);
    } else if (ImageChoiceInLists(g_iniFile, image)) {
        // Indexes outside the configured lists stay in the image (it opens
        // and saves byte for byte) but are not made every new document's.
        store.SetDword("Type", image[ImageMap::kRadioType]);
        store.SetDword("Field", image[ImageMap::kBandIndex]);
    }
    UpdateTitleAndBand();
}

void CProgramView::GridToImage()
{
    HideEditors();
    ChannelTable& table = m_session.Table();
    TableToImageKeepingUnchanged(table, m_shownTexts, g_nDeviceMode, m_pDocument->m_image, m_session.DeletedRows());
    m_session.ClearDeletedRows();
    m_shownTexts = table;
    CopyTableToGrid();
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
    const RadioImage& image = m_pDocument->m_image;
    const int k = image[ImageMap::kRadioType] + 1;
    const int b = image[ImageMap::kBandIndex];
    const std::string typeName = g_iniFile.GetValue("Setup", "Type" + std::to_string(k), "");
    const std::string bandList = g_iniFile.GetValue("Setup", "Field" + std::to_string(k), "");
    const std::string bandText = BandText(bandList, b);

    g_strMainTitle = LanguageText("AppName") + Lang("  [ Type:", "  [ 类型:") + ConfigText(typeName)
                     + Lang("  Fre:", "  频率:") + ConfigText(bandText) + QStringLiteral(" ]");
    if (QWidget* main = m_app.MainWindow())
        main->setWindowTitle(g_strMainTitle);
    BandLimits(bandText, m_nBandLow, m_nBandHigh);
}

ChannelTable CProgramView::GridTexts() const
{
    return m_session.Table();
}

void CProgramView::RestoreTexts(const ChannelTable& texts, const ChannelTable& shown)
{
    DropPendingEdit();
    m_session.Table() = texts;
    m_shownTexts = shown;
    CopyTableToGrid();
    UpdateTitleAndBand();
}

// ---- Selected channels ---------------------------------------------------

int CProgramView::CurrentChannel() const
{
    return m_pGrid->GetRow();
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

void CProgramView::ShowContextMenu(const QPoint& pos)
{
    // The items carry the Edit menu's texts of the running language.
    QHash<int, QString> texts;
    std::function<void(const QList<MenuResourceItem>&)> collect = [&](const QList<MenuResourceItem>& items) {
        for (const MenuResourceItem& item : items) {
            if (item.IsPopup())
                collect(item.items);
            else if (item.id != 0)
                texts.insert(item.id, item.text);
        }
    };
    if (g_pResources)
        collect(g_pResources->LoadMenu(Ids::IDR_PROGRAMTYPE));

    QMenu menu(this);
    menu.setObjectName(QStringLiteral("channelContextMenu"));
    for (int id : CChannelRowCommands::ContextMenuCommands()) {
        if (id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(texts.value(id));
        action->setProperty("commandId", id);
        CCmdUI ui(id);
        action->setEnabled(OnCmdMsg(id, &ui) && ui.m_bEnabled);
    }
    const QAction* chosen = menu.exec(m_pGrid->mapToGlobal(pos));
    if (!chosen)
        return;
    const int id = chosen->property("commandId").toInt();
    CCmdUI ui(id);
    if (OnCmdMsg(id, &ui) && ui.m_bEnabled)
        OnCmdMsg(id, nullptr);
}

bool CProgramView::OnRowKey(const QKeyEvent& key)
{
    if (m_session.EditorOpen())
        return false;
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    int command = 0;
    if (modifiers == Qt::ControlModifier) {
        switch (key.key()) {
        case Qt::Key_C: command = Ids::ID_EDIT_COPY; break;
        case Qt::Key_X: command = Ids::ID_EDIT_CUT; break;
        case Qt::Key_V: command = Ids::ID_EDIT_PASTE; break;
        case Qt::Key_A: command = Ids::ID_EDIT_SELECT_ALL; break;
        case Qt::Key_Up: command = Ids::ID_EDIT_MOVE_UP; break;
        case Qt::Key_Down: command = Ids::ID_EDIT_MOVE_DOWN; break;
        default: break;
        }
    } else if (modifiers == Qt::NoModifier) {
        switch (key.key()) {
        case Qt::Key_Delete: command = Ids::ID_EDIT_CLEAR; break;
        case Qt::Key_Insert: command = Ids::ID_EDIT_INSERT_CHANNEL; break;
        case Qt::Key_Menu: {
            const QRect cell = m_pGrid->visualRect(m_pGrid->model()->index(m_pGrid->GetRow() - 1, m_pGrid->GetCol() - 1));
            ShowContextMenu(m_pGrid->viewport()->mapTo(m_pGrid, cell.center()));
            return true;
        }
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A plain move or Enter ends the selection and goes on as usual.
            SelectChannels({});
            return false;
        default:
            break;
        }
    } else if (modifiers == Qt::ShiftModifier) {
        const int current = CurrentChannel();
        switch (key.key()) {
        case Qt::Key_Space:
            m_selection.SelectOnly(current);
            ShowSelection();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (m_selection.Empty())
                m_selection.SelectOnly(current);
            int row = 0;
            int column = 0;
            m_session.Destination(key.key() == Qt::Key_Up ? GridMove::Up : GridMove::Down, row, column);
            MoveQuietly(row, column);
            m_selection.ExtendTo(row);
            ShowSelection();
            return true;
        }
        default:
            break;
        }
    }
    if (command == 0)
        return false;
    CCmdUI ui(command);
    if (OnCmdMsg(command, &ui) && ui.m_bEnabled)
        OnCmdMsg(command, nullptr);
    return true;
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

void CProgramView::CopyTableToGrid()
{
    const ChannelTable& table = m_session.Table();
    for (int row = 1; row < kTableRows; ++row) {
        for (int column = 1; column < kTableCols; ++column)
            m_pGrid->SetTextMatrix(row, column, Text(table[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
    }
}

// ---- Editing -------------------------------------------------------------

template <typename Commit>
auto CProgramView::RunCommit(Commit commit)
{
    TakeEditorText();
    m_session.SetBand(m_nBandLow, m_nBandHigh);
    const ChannelTable before = m_session.Table();
    const auto result = commit();
    CopyTableToGrid();
    SyncEditors();
    if (m_session.Table() != before)
        m_pDocument->RecordChange(Lang("Edit", "编辑"));
    return result;
}

void CProgramView::TakeEditorText()
{
    const int column = m_session.EditorColumn();
    if (column == 0)
        return;
    QWidget* editor = m_editors[static_cast<std::size_t>(column)];
    if (auto* list = qobject_cast<QComboBox*>(editor))
        m_session.SetEditorText(list->currentText().toStdString());
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        m_session.SetEditorText(edit->text().toStdString());
}

void CProgramView::OnEnterCell()
{
    if (m_bQuietMove) {
        m_session.SetCurrentCell(m_pGrid->GetRow(), m_pGrid->GetCol());
        UpdateHighlight();
        return;
    }
    m_session.EnterCell(m_pGrid->GetRow(), m_pGrid->GetCol());
    LoadEditor();
}

void CProgramView::OnGridMouseDown(short button, short, int, int)
{
    // A click on a data cell ends the selection; a right click keeps it
    // for the context menu.
    if (button == 1 && !m_selection.Empty())
        SelectChannels({});
    OnEnterCell();
}

void CProgramView::OnLeaveCell()
{
    // The grid's Row and Col still name the cell being left.
    if (m_session.Row() != m_pGrid->GetRow() || m_session.Col() != m_pGrid->GetCol())
        return;
    const EditMessage message = RunCommit([this] { return m_session.LeaveCell(); });
    ShowMessage(message);
}

void CProgramView::OnEnterKey()
{
    if (!m_selection.Empty())
        SelectChannels({});
    bool rejected = false;
    const EditMessage message = RunCommit([this, &rejected] { return m_session.CommitOnEnter(rejected); });
    if (rejected) {
        // The current cell stays; the keyboard goes back to the grid.
        m_pGrid->setFocus(Qt::OtherFocusReason);
        ShowMessage(message);
        return;
    }
    // Moves in one step to the next shown cell, so only that cell is
    // entered (a wrap to the next row does not visit column 1 of the row it
    // leaves, and hidden columns are passed over).
    int row = m_pGrid->GetRow();
    int column = m_pGrid->GetCol();
    m_session.NextShownCell(row, column);
    if (row == m_pGrid->GetRow() && column == m_pGrid->GetCol())
        OnEnterCell();
    else
        m_pGrid->setCurrentCell(row - 1, column - 1);
}

void CProgramView::MoveQuietly(int row, int column)
{
    if (m_session.EditorOpen())
        OnLeaveCell();
    m_bQuietMove = true;
    m_pGrid->setCurrentCell(row - 1, column - 1);
    m_bQuietMove = false;
    m_session.SetCurrentCell(row, column);
    UpdateHighlight();
}

void CProgramView::MoveFromEditor(GridMove move)
{
    int row = 0;
    int column = 0;
    m_session.Destination(move, row, column);
    if (row == m_pGrid->GetRow() && column == m_pGrid->GetCol())
        return;  // at the edge: the editor stays open
    // The grid leaves the cell (leave rules) and enters the new one, whose
    // editor opens.
    m_pGrid->setCurrentCell(row - 1, column - 1);
}

void CProgramView::OpenCurrentEditor(const QString* typed)
{
    int row = 0;
    int column = 0;
    m_session.ShownCell(row, column);
    if (row != m_pGrid->GetRow() || column != m_pGrid->GetCol())
        MoveQuietly(row, column);
    m_session.SetBand(m_nBandLow, m_nBandHigh);
    const bool opened = typed ? m_session.OpenEditorTyping(typed->toStdString()) : m_session.OpenEditor();
    if (opened)
        LoadEditor();
}

void CProgramView::CancelEditor()
{
    m_session.HideEditor();
    SyncEditors();
    m_pGrid->setFocus(Qt::OtherFocusReason);
    UpdateHighlight();
}

void CProgramView::UpdateHighlight()
{
    int row = 0;
    int column = 0;
    m_session.ShownCell(row, column);
    m_pGrid->SetHighlightCell(row, column);
}

void CProgramView::OnGridKey(QKeyEvent* key)
{
    if (!m_pGrid->isEnabled())
        return;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (modifiers != Qt::NoModifier)
        return;
    if (const std::optional<GridMove> move = GridMoveOfKey(key->key())) {
        if ((key->modifiers() & Qt::ShiftModifier) && *move != GridMove::Previous)
            return;
        int row = 0;
        int column = 0;
        m_session.Destination(*move, row, column);
        MoveQuietly(row, column);
        return;
    }
    if (key->key() == Qt::Key_F2) {
        OpenCurrentEditor(nullptr);
        return;
    }
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint())
        OpenCurrentEditor(&text);
}

bool CProgramView::OnEditorKey(QObject* editor, QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Tab:
        MoveFromEditor(GridMove::Next);
        return true;
    case Qt::Key_Backtab:
        MoveFromEditor(GridMove::Previous);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // A drop-down list chooses its item with these keys.
        if (!qobject_cast<QLineEdit*>(editor))
            return false;
        MoveFromEditor(key->key() == Qt::Key_Up ? GridMove::Up : GridMove::Down);
        return true;
    case Qt::Key_Escape:
        CancelEditor();
        return true;
    default:
        return false;
    }
}

void CProgramView::LoadEditor()
{
    SyncEditors();
    const int column = m_session.EditorColumn();
    if (column == 0)
        return;
    QWidget* editor = m_editors[static_cast<std::size_t>(column)];
    const QString text = Text(m_session.EditorText());
    if (auto* list = dynamic_cast<CCellList*>(editor)) {
        list->DropUnlisted();
        if (m_session.EditorShowsUnlistedText())
            list->ShowUnlisted(Text(m_session.LoadedText()));
        const int index = list->findText(text, Qt::MatchExactly);
        list->setCurrentIndex(std::max(0, index));
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
    }
    PlaceEditor();
    UpdateHighlight();
}

void CProgramView::PlaceEditor()
{
    if (!m_pGrid->isEnabled())
        return;
    const int column = m_pGrid->GetCol();
    QWidget* editor = EditorForColumn(column);
    const bool list = IsListColumn(column);
    const EditorRect rect = EditorPlacement(m_pGrid->GetCellLeft(), m_pGrid->GetCellTop(), m_pGrid->GetCellWidth(),
                                            m_pGrid->GetCellHeight(), m_pGrid->DpiX(), m_pGrid->DpiY(), list);
    // A list's extra height is room for its opened list: the closed box
    // keeps the cell's height and opens its list below.
    editor->setGeometry(rect.x, rect.y, rect.width, list ? rect.height - 100 : rect.height);
    editor->show();
    editor->raise();
    NameCellEditor(editor, *m_pGrid);  // accessibility: read as "Channel N, HEADING"
    editor->setFocus(Qt::OtherFocusReason);
    m_pGrid->viewport()->update();
}

void CProgramView::SyncEditors()
{
    const int open = m_session.EditorColumn();
    bool hadFocus = false;
    for (int column = 1; column < kTableCols; ++column) {
        QWidget* editor = m_editors[static_cast<std::size_t>(column)];
        if (!editor || column == open || editor->isHidden())
            continue;
        hadFocus = hadFocus || editor->hasFocus();
        editor->hide();
        if (auto* list = dynamic_cast<CCellList*>(editor))
            list->DropUnlisted();
    }
    if (hadFocus)
        m_pGrid->setFocus(Qt::OtherFocusReason);
}

void CProgramView::ShowMessage(EditMessage message)
{
    if (message == EditMessage::None)
        return;
    const int id = message == EditMessage::OutOfRange ? Ids::IDS_OUT_OF_RANGE : Ids::IDS_STEP_ERROR;
    Prompter().Message(this, g_pResources->LoadString(Ids::IDS_CAUTION), g_pResources->LoadString(id),
                       PromptButtons::Ok, PromptIcon::Exclamation);
}

namespace {

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z: the document's Undo and Redo, but the
// editor's own while an editor is open.
enum class UndoKey { None, Undo, Redo };

UndoKey UndoKeyOf(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (modifiers == Qt::ControlModifier && key.key() == Qt::Key_Z)
        return UndoKey::Undo;
    if ((modifiers == Qt::ControlModifier && key.key() == Qt::Key_Y)
        || (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key.key() == Qt::Key_Z))
        return UndoKey::Redo;
    return UndoKey::None;
}

}  // namespace

bool CProgramView::eventFilter(QObject* watched, QEvent* event)
{
    const bool isEditor = std::find(m_editors.begin(), m_editors.end(), watched) != m_editors.end();
    if (isEditor && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        // In an open editor the undo keys act on its text, as in any line
        // edit; a list has no text to undo and ignores them.
        const UndoKey undoKey = UndoKeyOf(*static_cast<QKeyEvent*>(event));
        if (undoKey != UndoKey::None) {
            event->accept();
            if (event->type() == QEvent::KeyPress) {
                if (auto* edit = qobject_cast<QLineEdit*>(watched))
                    undoKey == UndoKey::Undo ? edit->undo() : edit->redo();
            }
            return true;
        }
    }
    if (watched == m_pGrid->verticalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const int section = m_pGrid->verticalHeader()->logicalIndexAt(mouse->position().toPoint());
        if (m_pGrid->isEnabled() && section >= 0)
            OnChannelNumberPressed(section + 1, mouse->modifiers());
        return true;  // the grid's own row selection would move the current cell
    }
    if (watched == m_pGrid && event->type() == QEvent::KeyPress && OnRowKey(*static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool fromView = watched == m_pGrid
                              || std::find(m_editors.begin(), m_editors.end(), watched) != m_editors.end();
        if (fromView && IsEnterKey(key)) {
            OnEnterKey();
            return true;
        }
        if (fromView && key->key() == Qt::Key_F1) {
            OnHelpKey();
            return true;
        }
        if (watched == m_pGrid) {
            // Every key on the grid is the view's: the grid's own handling
            // would move its current cell behind the view's back.
            if (!m_session.EditorOpen())
                OnGridKey(key);
            return true;
        }
        if (fromView && OnEditorKey(watched, key))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Commands ------------------------------------------------------------

bool CProgramView::OnCmdMsg(int id, CCmdUI* ui)
{
    if (m_pRadioLink->OnCmdMsg(id, ui))
        return true;
    if (CChannelCsvCommands(*this, Prompter()).OnCmdMsg(id, ui))
        return true;
    if (CChannelRowCommands(*this, Prompter(), QApplication::clipboard()).OnCmdMsg(id, ui))
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
