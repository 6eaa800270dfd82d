#include "core/util/UserDataDir.h"

#include <cstdlib>

#ifdef _WIN32
#include "core/util/Utf8Path.h"
#endif

std::string UserDataDirectory(const std::string& folder, std::string* note)
{
#ifdef _WIN32
    (void)note;
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!local || local[0] == L'\0')
        return {};
    return Utf8FromWide(local) + "\\radio-programmer\\" + folder;
#else
    std::string base;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] != '\0' && data[0] != '/' && note)
        *note = "XDG_DATA_HOME is a relative path (" + std::string(data) + "); it is ignored";
    if (data && data[0] == '/')
        base = data;
    else if (const char* home = std::getenv("HOME"); home && home[0] != '\0')
        base = std::string(home) + "/.local/share";
    else
        return {};
    return base + "/radio-programmer/" + folder;
#endif
}
