#pragma once
// The bytes of a file name as the system knows it, from the text a file
// dialog or the command line gave. Qt turns names into text through the
// locale's encoding, and a name that is not valid UTF-8 loses its odd bytes
// on the way (each becomes U+FFFD), so encoding the text again names another
// file. LocalPath finds the real name: where the encoded text names nothing,
// it looks in the folder for the entry that reads as the same text.

#include <QString>
#include <string>

std::string LocalPath(const QString& path);
