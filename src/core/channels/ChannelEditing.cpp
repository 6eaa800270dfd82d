#include "core/channels/ChannelEditing.h"

#include "core/channels/ChannelCodec.h"
#include "core/channels/DecimalArithmetic.h"

#include <algorithm>
#include <array>

namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words)
{
    return std::vector<std::string>(words.begin(), words.end());
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    }
    return true;
}

bool ValidCell(int row, int column)
{
    return row >= 1 && row < kTableRows && column >= 1 && column < kTableCols;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether a list offers an item for a cell text (an item begins with it).
bool ListOffers(const std::vector<std::string>& items, const std::string& text)
{
    for (const std::string& item : items) {
        if (StartsWithIgnoringCase(item, text))
            return true;
    }
    return false;
}

} // namespace

bool IsListColumn(int column)
{
    return column >= kColDecodeTone && column <= kColPower;
}

const std::vector<std::string>& EditorItems(int column, bool chinese)
{
    static const std::array<std::vector<std::string>, 2> kBandwidth = {Words({WideText(false), NarrowText(false)}),
                                                                       Words({WideText(true), NarrowText(true)})};
    static const std::array<std::vector<std::string>, 2> kScan = {Words({YesText(false), NoText(false)}),
                                                                  Words({YesText(true), NoText(true)})};
    static const std::array<std::vector<std::string>, 2> kBusyLock = {
        Words({OffText(false), CarrierText(false), QtDqtText(false)}),
        Words({OffText(true), CarrierText(true), QtDqtText(true)})};
    static const std::array<std::vector<std::string>, 2> kPower = {Words({HighText(false), LowText(false)}),
                                                                   Words({HighText(true), LowText(true)})};
    static const std::vector<std::string> kNone;

    const std::size_t language = chinese ? 1 : 0;
    switch (column) {
    case kColDecodeTone:
    case kColEncodeTone: return ToneList(chinese);
    case kColBandwidth: return kBandwidth[language];
    case kColScan: return kScan[language];
    case kColBusyLock: return kBusyLock[language];
    case kColPower: return kPower[language];
    default: return kNone;
    }
}

std::size_t MatchListItem(const std::vector<std::string>& items, const std::string& cellText)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (StartsWithIgnoringCase(items[i], cellText))
            return i;
    }
    return 0;
}

const char* DefaultCellText(int column, bool chinese)
{
    switch (column) {
    case kColDecodeTone:
    case kColEncodeTone: return NoToneText(chinese);
    case kColBandwidth: return WideText(chinese);
    case kColScan: return NoText(chinese);
    case kColBusyLock: return OffText(chinese);
    case kColPower: return HighText(chinese);
    default: return "";
    }
}

EditorRect EditorPlacement(int cellLeft, int cellTop, int cellWidth, int cellHeight, int dpiX, int dpiY, bool list)
{
    // Products in 64 bits: a twips value times a resolution can pass 2^31.
    const auto pixels = [](int twips, int dpi) { return static_cast<int>(static_cast<long long>(twips) * dpi / 1440); };
    EditorRect rect;
    rect.x = pixels(cellLeft, dpiX) - 3;
    rect.y = pixels(cellTop, dpiY) - 3;
    rect.width = pixels(cellWidth, dpiX);
    rect.height = pixels(cellHeight, dpiY) + (list ? 100 : 0);
    return rect;
}

void NextCell(int& row, int& column)
{
    if (column < kTableCols - 1) {
        ++column;
    } else if (row < kTableRows - 1) {
        column = 1;
        ++row;
    } else {
        row = 1;
        column = 1;
    }
}

bool ReadTypedFrequency(const std::string& text, std::string& normalized)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    std::string out;
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        out += text[i++];
    bool digits = false;
    bool separator = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digits = true;
            out += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            out += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            out += text[i++];
        bool exponentDigits = false;
        for (; i < end && IsDigit(text[i]); ++i) {
            exponentDigits = true;
            out += text[i];
        }
        if (!exponentDigits)
            return false;
    }
    if (i != end)
        return false;
    normalized = out;
    return true;
}

ChannelEditSession::ChannelEditSession(bool chinese)
    : m_own(std::make_unique<DocumentChannels>(chinese))
    , m_channels(m_own.get())
    , m_chinese(chinese)
{}

ChannelEditSession::ChannelEditSession(DocumentChannels& channels, bool chinese)
    : m_channels(&channels)
    , m_chinese(chinese)
{}

void ChannelEditSession::SetBand(std::int32_t low, std::int32_t high)
{
    m_bandLow = low;
    m_bandHigh = high;
}

void ChannelEditSession::SetDeviceMode(int mode)
{
    const std::array<int, kTableCols> widths = ColumnWidths(mode);
    for (int column = 0; column < kTableCols; ++column)
        m_shown[static_cast<std::size_t>(column)] =
            column != kColChannel && widths[static_cast<std::size_t>(column)] != 0;
}

bool ChannelEditSession::ColumnShown(int column) const
{
    return column >= 1 && column < kTableCols && m_shown[static_cast<std::size_t>(column)];
}

void ChannelEditSession::ShownCell(int& row, int& column) const
{
    row = m_row;
    column = m_col;
    if (ColumnShown(column))
        return;
    for (int c = column + 1; c < kTableCols; ++c) {
        if (ColumnShown(c)) {
            column = c;
            return;
        }
    }
    for (int c = column - 1; c >= 1; --c) {
        if (ColumnShown(c)) {
            column = c;
            return;
        }
    }
}

void ChannelEditSession::NextShownCell(int& row, int& column) const
{
    // At most one full round of the table: a mode always shows a column.
    for (int step = 0; step < kTableRows * kTableCols; ++step) {
        NextCell(row, column);
        if (ColumnShown(column))
            return;
    }
}

void ChannelEditSession::Destination(GridMove move, int& row, int& column) const
{
    ShownCell(row, column);
    const auto firstShown = [this] {
        for (int c = 1; c < kTableCols; ++c)
            if (ColumnShown(c))
                return c;
        return 1;
    };
    const auto lastShown = [this] {
        for (int c = kTableCols - 1; c >= 1; --c)
            if (ColumnShown(c))
                return c;
        return 1;
    };
    switch (move) {
    case GridMove::Left:
        for (int c = column - 1; c >= 1; --c) {
            if (ColumnShown(c)) {
                column = c;
                break;
            }
        }
        break;
    case GridMove::Right:
        for (int c = column + 1; c < kTableCols; ++c) {
            if (ColumnShown(c)) {
                column = c;
                break;
            }
        }
        break;
    case GridMove::Up: row = std::max(1, row - 1); break;
    case GridMove::Down: row = std::min(kTableRows - 1, row + 1); break;
    case GridMove::Home: column = firstShown(); break;
    case GridMove::End: column = lastShown(); break;
    case GridMove::PageUp: row = 1; break;
    case GridMove::PageDown: row = kTableRows - 1; break;
    case GridMove::Next: NextShownCell(row, column); break;
    case GridMove::Previous:
        for (int step = 0; step < kTableRows * kTableCols; ++step) {
            if (column > 1) {
                --column;
            } else if (row > 1) {
                column = kTableCols - 1;
                --row;
            } else {
                row = kTableRows - 1;
                column = kTableCols - 1;
            }
            if (ColumnShown(column))
                break;
        }
        break;
    }
}

void ChannelEditSession::SetEditorText(const std::string& text)
{
    if (m_editorColumn != 0)
        m_editorText = text;
}

void ChannelEditSession::HideEditor()
{
    m_editorColumn = 0;
    m_editorText.clear();
    m_loadedText.clear();
    m_unlisted = false;
}

bool ChannelEditSession::LoadEditor(int row, int column, const std::string* typed)
{
    if (!m_enabled || !ValidCell(row, column) || !ColumnShown(column))
        return false;
    const std::string& cell = Table()[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    m_unlisted = false;
    if (IsListColumn(column)) {
        const std::vector<std::string>& items = EditorItems(column, m_chinese);
        if (!cell.empty() && !ListOffers(items, cell)) {
            // A value the list does not offer is shown as it is and kept.
            m_loadedText = cell;
            m_unlisted = true;
        } else {
            m_loadedText = items.empty() ? std::string() : items[MatchListItem(items, cell)];
        }
        m_editorText = m_loadedText;
        if (typed && !items.empty() && ListOffers(items, *typed))
            m_editorText = items[MatchListItem(items, *typed)];
    } else {
        m_loadedText = cell;
        m_editorText = typed ? *typed : cell;
    }
    m_editorColumn = column;
    return true;
}

void ChannelEditSession::EnterCell(int row, int column)
{
    if (!ValidCell(row, column))
        return;
    m_row = row;
    m_col = column;
    if (!LoadEditor(row, column, nullptr))
        HideEditor();
}

void ChannelEditSession::SetCurrentCell(int row, int column)
{
    if (!ValidCell(row, column))
        return;
    m_row = row;
    m_col = column;
}

bool ChannelEditSession::OpenShownEditor(const std::string* typed)
{
    int row = 0;
    int column = 0;
    ShownCell(row, column);
    if (!LoadEditor(row, column, typed))
        return false;
    m_row = row;
    m_col = column;
    return true;
}

bool ChannelEditSession::OpenEditor()
{
    return OpenShownEditor(nullptr);
}

bool ChannelEditSession::OpenEditorTyping(const std::string& text)
{
    return OpenShownEditor(&text);
}

EditMessage ChannelEditSession::LeaveCell()
{
    bool rejected = false;
    return Commit(Path::Leave, rejected);
}

ChannelEditSession::EnterOutcome ChannelEditSession::PressEnter()
{
    EnterOutcome outcome;
    bool rejected = false;
    outcome.message = CommitOnEnter(rejected);
    if (rejected)
        return outcome;
    int row = m_row;
    int column = m_col;
    NextShownCell(row, column);
    MoveTo(row, column);
    outcome.moved = true;
    return outcome;
}

EditMessage ChannelEditSession::CommitOnEnter(bool& rejected)
{
    return Commit(Path::Enter, rejected);
}

EditMessage ChannelEditSession::MoveTo(int row, int column)
{
    if (!ValidCell(row, column))
        return EditMessage::None;
    const EditMessage message = LeaveCell();
    EnterCell(row, column);
    return message;
}

EditMessage ChannelEditSession::MoveQuietlyTo(int row, int column)
{
    if (!ValidCell(row, column))
        return EditMessage::None;
    const EditMessage message = LeaveCell();
    HideEditor();
    SetCurrentCell(row, column);
    return message;
}

EditMessage ChannelEditSession::Commit(Path path, bool& rejected)
{
    rejected = false;
    const int row = m_row;
    const int column = m_col;
    if (m_editorColumn != column || !ValidCell(row, column))
        return EditMessage::None;

    auto& cells = Table()[static_cast<std::size_t>(row)];
    const std::string oldRx = cells[kColRxFrequency];
    const std::string oldTx = cells[kColTxFrequency];
    EditMessage message = EditMessage::None;

    if (m_editorText == m_loadedText) {
        // Unchanged: the row stays as it is, but for Enter's fill of an
        // empty Tx frequency from the Rx one where the Rx side is shown.
        if (path == Path::Enter && column == kColTxFrequency && oldTx.empty() && !oldRx.empty() &&
            ColumnShown(kColRxFrequency))
            cells[kColTxFrequency] = oldRx;
        HideEditor();
        return message;
    }

    if (column == kColRxFrequency || column == kColTxFrequency) {
        CommitFrequency(path, row, column, oldRx, oldTx, message, rejected);
    } else if (oldRx.empty() && oldTx.empty()) {
        // An empty channel takes no settings.
        cells[static_cast<std::size_t>(column)].clear();
    } else {
        cells[static_cast<std::size_t>(column)] = m_editorText;
    }
    HideEditor();
    return message;
}

void ChannelEditSession::CommitFrequency(Path path, int row, int column, const std::string& oldRx,
                                         const std::string& oldTx, EditMessage& message, bool& rejected)
{
    auto& cells = Table()[static_cast<std::size_t>(row)];
    const std::string typed = m_editorText;
    const bool rx = column == kColRxFrequency;

    if (typed.empty()) {
        // Enter on an emptied Tx frequency takes the Rx frequency where that
        // is shown; every other emptied frequency deletes the channel.
        if (path == Path::Enter && !rx && !oldRx.empty() && ColumnShown(kColRxFrequency))
            cells[kColTxFrequency] = oldRx;
        else
            DeleteRow(row);
        return;
    }

    std::string number;
    if (!ReadTypedFrequency(typed, number)) {
        message = EditMessage::OutOfRange;
        rejected = true;
        return;
    }
    switch (CheckFrequency(ToTenHertz(number), m_bandLow, m_bandHigh)) {
    case FrequencyCheck::OutOfRange:
        message = EditMessage::OutOfRange;
        rejected = true;
        return;
    case FrequencyCheck::BadStep:
        message = EditMessage::BadStep;
        rejected = true;
        return;
    case FrequencyCheck::Accepted: break;
    }

    const std::string display = FrequencyDisplayText(number);
    if (rx) {
        if (oldRx.empty()) {
            // A new channel. Enter also starts its Tx frequency at the Rx
            // frequency and sets the encode tone; leaving the cell does not.
            cells[kColRxFrequency] = display;
            if (path == Path::Enter) {
                cells[kColTxFrequency] = display;
                FillDefaults(row, {kColDecodeTone, kColEncodeTone, kColBandwidth, kColScan, kColBusyLock, kColPower});
            } else {
                FillDefaults(row, {kColDecodeTone, kColBandwidth, kColScan, kColBusyLock, kColPower});
            }
        } else {
            cells[kColRxFrequency] = display;
        }
    } else {
        cells[kColTxFrequency] = display;
        if (oldTx.empty())
            FillDefaults(row, {kColEncodeTone, kColBandwidth, kColScan, kColBusyLock, kColPower});
    }
}

void ChannelEditSession::ClearRow(int row)
{
    auto& cells = Table()[static_cast<std::size_t>(row)];
    for (int column = 1; column < kTableCols; ++column)
        cells[static_cast<std::size_t>(column)].clear();
}

void ChannelEditSession::DeleteRow(int row)
{
    ClearRow(row);
    m_channels->MarkDeleted(row);
}

void ChannelEditSession::FillDefaults(int row, std::initializer_list<int> columns)
{
    auto& cells = Table()[static_cast<std::size_t>(row)];
    for (int column : columns)
        cells[static_cast<std::size_t>(column)] = DefaultCellText(column, m_chinese);
}
