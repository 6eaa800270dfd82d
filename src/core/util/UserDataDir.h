#pragma once
// The per-user data folder of the program: what it keeps for the user
// beside the settings (copies of radio reads, the user's channel plans).

#include <string>

// $XDG_DATA_HOME/radio-programmer/<folder>, with ~/.local/share in place of
// an unset or relative XDG_DATA_HOME; empty when there is no home either. A
// relative XDG_DATA_HOME is ignored, and note (when given) then says so.
// On Windows: %LOCALAPPDATA%\radio-programmer\<folder>, empty when
// LOCALAPPDATA is not set.
std::string UserDataDirectory(const std::string& folder, std::string* note = nullptr);
