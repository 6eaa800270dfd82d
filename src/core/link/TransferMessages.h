#pragma once
// Texts of the transfer messages for places without the GUI's string table
// (the command line), and the bilingual type-mismatch message, which is not
// a resource at all.

#include "core/link/RadioTransfer.h"

#include <string>

// English text of a message, exactly as the English resources have it.
const char* TransferMessageEnglishText(TransferMessage message);

const char* TypeMismatchText(bool chinese);
const char* TypeMismatchCaption(bool chinese);

// What surrounds a transfer's own messages, in English or Chinese: the
// warning after a write that the radio took only in part (frames of the
// 102), the notice that the line hung up, and the confirmations of a
// complete read and write. device is the path of the port.
std::string PartialWriteText(int frames, bool chinese);
std::string DisconnectedText(const std::string& device, bool chinese);
std::string ReadConfirmationText(const std::string& device, bool chinese);
std::string WriteConfirmationText(const std::string& device, bool chinese);
