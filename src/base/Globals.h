#pragma once
// Process-wide state of a run. Everything here is written by the user-
// interface thread only: the configuration store and the language settle at
// start-up, the other values change as documents are made and radios read.

#include "core/app/IniFile.h"

#include <QString>
#include <string>

class CLanguageResources;

// Program.ini beside the executable. Written back at the end of the process
// when a value was changed.
extern CIniFile g_iniFile;

extern std::string g_strLanguage;        // Setup/Language as read at start-up
extern unsigned char g_byLanguage;       // 0 English, non-zero Chinese
extern std::string g_strHelpFile;        // "enHelp" or "chHelp", a folder beside the executable
extern CLanguageResources* g_pResources; // the loaded bundle, or null
extern QString g_strAppDir;              // executable's directory, ending in '/'
extern QString g_strMainTitle;           // main window title set by the view and the product dialog
extern std::string g_strPortName;        // serial port the radio link opens
extern unsigned char g_byNewDocument;    // 1 while the newest image was made by File New
extern int g_nDeviceMode;                // 1 receive side, 2 transmit side, 0 grid disabled

// Puts every global back to its value before start-up (the store is cleared
// without being written).
void ResetGlobals();

inline bool IsChinese()
{
    return g_byLanguage != 0;
}

// Picks the built-in English or Chinese literal by the language flag.
inline QString Lang(const char* english, const char* chinese)
{
    return QString::fromUtf8(IsChinese() ? chinese : english);
}

// Turns a byte string from the configuration file into text: UTF-8 when the
// bytes are valid UTF-8, otherwise GB18030 so that files made on older
// systems keep their Chinese texts.
QString ConfigText(const std::string& bytes);

// GetValue on the configuration store with an empty default, as text.
QString IniText(const std::string& section, const std::string& key);

// Section named by the running language ("English", "Chinese", ...).
QString LanguageText(const std::string& key);
