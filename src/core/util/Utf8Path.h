#pragma once
// File names are UTF-8 text everywhere inside the program. std::filesystem
// reads a narrow string in the library's own narrow encoding, which on
// Windows is not UTF-8 even in a process whose code page is: a name such as
// "信道.dat" would name another file. These conversions sit at that
// boundary; elsewhere a name's bytes pass unchanged (also bytes that are not
// UTF-8, which Linux file names may hold).

#include <filesystem>
#include <string>

std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);

#ifdef _WIN32
// UTF-16 for the system's wide calls and back; invalid bytes become U+FFFD.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
#endif
