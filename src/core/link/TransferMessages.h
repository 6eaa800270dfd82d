#pragma once
// Texts of the transfer messages for places without the GUI's string table
// (the command line), and the bilingual type-mismatch message, which is not
// a resource at all.

#include "core/link/RadioTransfer.h"

// English text of a message, exactly as the English resources have it.
const char* TransferMessageEnglishText(TransferMessage message);

const char* TypeMismatchText(bool chinese);
const char* TypeMismatchCaption(bool chinese);
