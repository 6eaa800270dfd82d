// Any bytes as Program.ini: load, look up, change, write back and load the
// written file again; what was read must read the same after the round trip.
#include "core/app/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/ini_fuzz_" + std::to_string(::getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const char* sections[] = {"", "Setup", "English", "Chinese", "S"};
    const char* keys[] = {"Language", "ShowLang", "AppName", "k", ""};
    std::string before[5][5];
    {
        CIniFile ini;
        if (!ini.Load(path, false, true))
            return 0;
        for (int s = 0; s < 5; ++s)
            for (int k = 0; k < 5; ++k)
                before[s][k] = ini.GetValue(sections[s], keys[k], "-");
        ini.SetValue("Setup", "Language", "Chinese");
        ini.SetValue("Setup", "Language", "English");
        if (!ini.Save())
            std::abort();
    }
    CIniFile again;
    if (!again.Load(path, false, true))
        std::abort();
    for (int s = 0; s < 5; ++s)
        for (int k = 0; k < 5; ++k) {
            const std::string after = again.GetValue(sections[s], keys[k], "-");
            const bool language = s == 1 && k == 0;
            if (!language && after != before[s][k])
                std::abort();
            if (language && after != "English")
                std::abort();
        }
    std::remove(path.c_str());
    return 0;
}
