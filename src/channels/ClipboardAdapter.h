#pragma once
// The system clipboard for channels: Copy puts the two forms the core makes
// (tab-separated text and the exact records) into one clipboard entry, and
// Paste takes back whichever it finds.

#include "core/channels/ChannelClipboard.h"

#include <vector>

class QClipboard;

namespace ClipboardAdapter {

// The channels of the image as text (headings and words in the chosen
// language) and as records.
void PutChannels(QClipboard* clipboard, const RadioImage& image, const std::vector<int>& channels, bool chinese);

// What the clipboard holds: the records when they are there, and its text.
ClipboardChannels TakeChannels(const QClipboard* clipboard);

// Whether the clipboard holds anything Paste could read.
bool HasChannels(const QClipboard* clipboard);

} // namespace ClipboardAdapter
