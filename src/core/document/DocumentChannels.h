#pragma once
// The channels of one document in the two forms they take: the radio image
// (the bytes a file and the radio hold) and the channel table (the texts the
// channel window shows and the user edits). Next to the texts it keeps what
// the lossless write-back needs: the texts the table held when it last
// matched the image, and the channels the user deleted since.
//
// ImageToGrid fills the texts from the image; GridToImage writes them back,
// changing only the rows the user changed. Both work in the device mode
// given, so a document opened and saved without edits keeps every byte in
// every mode.

#include "core/channels/ChannelTable.h"
#include "core/document/EditHistory.h"
#include "core/document/RadioImage.h"

class DocumentChannels
{
public:
    // chinese: the language of the texts (headings, tone and setting words).
    explicit DocumentChannels(bool chinese = false);

    const RadioImage& Image() const { return m_image; }
    RadioImage& Image() { return m_image; }

    // The texts: headings in row 0, channel numbers in column 0, the
    // channels' fields in rows 1..16, columns 1..8.
    const ChannelTable& Cells() const { return m_cells; }
    ChannelTable& Cells() { return m_cells; }
    // What ImageToGrid (or the last GridToImage) left in the texts.
    const ChannelTable& Shown() const { return m_shown; }

    // Channels the user emptied since the texts last matched the image:
    // their whole record, the hidden side included, is emptied by the next
    // GridToImage.
    const ChannelRowFlags& DeletedRows() const { return m_deleted; }
    void MarkDeleted(int row);
    void SetDeletedRows(const ChannelRowFlags& rows) { m_deleted = rows; }
    void ClearDeletedRows() { m_deleted.fill(false); }

    // The texts from the image; they become the shown baseline and no
    // channel counts as deleted.
    void ImageToGrid(int deviceMode);
    // The texts into the image: rows equal to the baseline keep their
    // bytes, changed rows are encoded keeping the hidden side's bytes,
    // deleted channels become empty records (TableToImageKeepingUnchanged).
    // The texts then match the image and become the baseline.
    void GridToImage(int deviceMode);

    // The image, the texts, the baseline and the deleted channels, for the
    // undo history.
    DocumentSnapshot Snapshot() const;
    // Puts a snapshot back exactly.
    void Restore(const DocumentSnapshot& state);

private:
    bool m_chinese;
    RadioImage m_image{};
    ChannelTable m_cells;
    ChannelTable m_shown{};
    ChannelRowFlags m_deleted{};
};
