#include "channels/ClipboardAdapter.h"

#include <QClipboard>
#include <QMimeData>

namespace ClipboardAdapter {

void PutChannels(QClipboard* clipboard, const RadioImage& image, const std::vector<int>& channels, bool chinese)
{
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(ChannelsText(image, channels, chinese)));
    const std::string records = ChannelRecordsBytes(image, channels);
    data->setData(QString::fromLatin1(kChannelsMimeType), QByteArray(records.data(), static_cast<int>(records.size())));
    clipboard->setMimeData(data);
}

ClipboardChannels TakeChannels(const QClipboard* clipboard)
{
    ClipboardChannels channels;
    const QMimeData* data = clipboard->mimeData();
    if (!data)
        return channels;
    const QByteArray records = data->data(QString::fromLatin1(kChannelsMimeType));
    channels.records.assign(records.constData(), static_cast<std::size_t>(records.size()));
    channels.text = data->text().toStdString();
    return channels;
}

bool HasChannels(const QClipboard* clipboard)
{
    const QMimeData* data = clipboard->mimeData();
    return data && (data->hasFormat(QString::fromLatin1(kChannelsMimeType)) || !data->text().trimmed().isEmpty());
}

} // namespace ClipboardAdapter
