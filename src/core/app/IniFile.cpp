#include "core/app/IniFile.h"

#include "core/util/AtomicFile.h"
#include "core/util/Utf8Path.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return "";
    const auto last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsValidUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= s.size() && extra > 0)
            return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

// Compares without case, folding single-byte letters only. In UTF-8 every
// byte of a multi-byte character is above 0x7F, so folding ASCII bytes is
// enough; in GBK the second byte of a character may look like an ASCII
// letter, so such texts are walked character by character and double-byte
// characters must match exactly.
bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    const bool doubleByte = !IsValidUtf8(a) || !IsValidUtf8(b);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto c = static_cast<unsigned char>(a[i]);
        if (doubleByte && c >= 0x81 && c <= 0xFE && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The text EqualNoCase compares: ASCII letters folded, except the bytes of
// a double-byte character in a text that is not UTF-8. Two texts are equal
// without case exactly when their folded forms are equal (folding keeps a
// text's validity as UTF-8, so both are walked the same way).
std::string FoldNoCase(const std::string& text)
{
    std::string folded = text;
    const bool doubleByte = !IsValidUtf8(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (doubleByte && c >= 0x81 && c <= 0xFE && i + 1 < folded.size())
            ++i;
        else
            folded[i] = FoldAscii(folded[i]);
    }
    return folded;
}

void EraseFrom(std::string& text, const std::string& marker)
{
    const auto pos = text.find(marker);
    if (pos != std::string::npos)
        text.erase(pos);
}

} // namespace

CIniFile::CIniFile(std::size_t growthStep)
    : m_growthStep(growthStep == 0 ? 1 : growthStep)
{}

CIniFile::~CIniFile()
{
    if (m_writeBack)
        Save();
    Clear();
}

std::string ProgramDirectory(const std::string& programPath)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (programPath.find_first_of(kPathSeparators) == std::string::npos)
        return Utf8FromPath(fs::current_path(ec));
    fs::path real = fs::weakly_canonical(fs::absolute(PathFromUtf8(programPath), ec), ec);
    if (ec)
        real = PathFromUtf8(programPath);
    return Utf8FromPath(real.parent_path());
}

std::string RunningExecutablePath()
{
#ifdef _WIN32
    std::wstring buffer(1024, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return Utf8FromWide(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
#endif
}

bool CIniFile::LoadBesideProgram(const std::string& programPath, const std::string& fileName, bool writeBack,
                                 bool ignoreCase)
{
    return Load(Utf8FromPath(PathFromUtf8(ProgramDirectory(programPath)) / PathFromUtf8(fileName)), writeBack,
                ignoreCase);
}

bool CIniFile::Load(const std::string& path, bool writeBack, bool ignoreCase)
{
    if (!m_filePath.empty()) {
        Save();
        Clear();
    }
    m_writeBack = writeBack;
    m_ignoreCase = ignoreCase;

    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(path), ec)) {
        // A missing configuration file is created empty.
        std::ofstream create(path, std::ios::binary);
        if (!create)
            return false;
    }
    // Read whole, without ever blocking on something that is not a file.
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, SIZE_MAX))
        return false;

    m_filePath = path;
    m_sections.reserve(m_growthStep);
    AddSection("");

    bool firstLine = true;
    for (std::size_t begin = 0; begin < bytes.size();) {
        std::size_t end = begin;
        while (end < bytes.size() && bytes[end] != '\n')
            ++end;
        std::string line(bytes.begin() + static_cast<long>(begin), bytes.begin() + static_cast<long>(end));
        begin = end + 1;
        // An editor's UTF-8 byte-order mark is not part of the first line.
        if (firstLine && line.rfind(kUtf8Bom, 0) == 0)
            line.erase(0, kUtf8Bom.size());
        firstLine = false;
        // A line ends at its first zero byte, as a C string does: a file
        // that was overwritten with zeros and then with shorter text leaves
        // lines of zeros behind, and they read as empty lines.
        if (const auto zero = line.find('\0'); zero != std::string::npos)
            line.erase(zero);
        line = Trim(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            AddSection(line.substr(1, line.size() - 2));
            continue;
        }
        std::string key = line;
        std::string value;
        if (const auto eq = line.find('='); eq != std::string::npos) {
            key = Trim(line.substr(0, eq));
            value = Trim(line.substr(eq + 1));
        }
        if (key.empty() || key[0] == ';' || key[0] == '/' || key[0] == '\\' || key[0] == '*')
            continue;
        m_sections.back().keys.push_back(key);
        m_sections.back().values.push_back(value);
    }
    return true;
}

std::string CIniFile::GetValue(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const
{
    const int s = FindSection(section);
    if (s < 0)
        return defaultValue;
    const int k = FindKey(m_sections[static_cast<std::size_t>(s)], key, m_ignoreCase);
    if (k < 0)
        return Trim(defaultValue);
    std::string value = m_sections[static_cast<std::size_t>(s)].values[static_cast<std::size_t>(k)];
    // Inline comments are cut on reading only; the stored value stays whole.
    EraseFrom(value, "//");
    EraseFrom(value, "\t;");
    EraseFrom(value, "/*");
    return value;
}

void CIniFile::SetValue(const std::string& section, const std::string& key, const std::string& value)
{
    if (m_filePath.empty())
        return;
    int s = FindSection(section);
    if (s < 0) {
        m_changed = true;
        AddSection(section);
        s = static_cast<int>(m_sections.size()) - 1;
    }
    Section& sec = m_sections[static_cast<std::size_t>(s)];
    const int k = FindKey(sec, key, m_ignoreCase);
    if (k < 0) {
        m_changed = true;
        sec.keys.push_back(key);
        sec.values.push_back(value);
        return;
    }
    std::string& stored = sec.values[static_cast<std::size_t>(k)];
    if (!Equal(stored, value))
        m_changed = true;
    stored = value;
}

bool CIniFile::Save()
{
    if (!m_changed || m_filePath.empty())
        return true;
    std::string text;
    for (std::size_t index = 0; index < m_sections.size(); ++index) {
        const Section& section = m_sections[index];
        // Section 0 holds the keys above the first header and has none of
        // its own. Every other section keeps its header, even "[]": written
        // without it, its keys would join the section before it.
        if (index > 0)
            text += "[" + section.name + "]\r\n";
        for (std::size_t i = 0; i < section.keys.size(); ++i)
            text += section.keys[i] + (section.keys[i].empty() ? "" : "=") + section.values[i] + "\r\n";
    }
    // A first key that itself begins with the byte-order mark (comments
    // above it are not written back) would lose it on the next load, which
    // skips a mark at the start of the file: one more mark keeps it.
    if (text.rfind(kUtf8Bom, 0) == 0)
        text.insert(0, kUtf8Bom);
    // The changed mark stays set: a store that writes back at destruction
    // writes again then.
    return WriteFileAtomically(m_filePath, text);
}

void CIniFile::Clear()
{
    m_sections.clear();
    m_sections.shrink_to_fit();
    m_sectionIndex.clear();
    m_filePath.clear();
    m_changed = false;
}

std::string CIniFile::SectionKey(const std::string& name) const
{
    return m_ignoreCase ? FoldNoCase(name) : name;
}

int CIniFile::FindSection(const std::string& name) const
{
    const auto it = m_sectionIndex.find(SectionKey(name));
    return it == m_sectionIndex.end() ? -1 : static_cast<int>(it->second);
}

int CIniFile::FindKey(const Section& section, const std::string& key, bool ignoreCase)
{
    for (std::size_t i = section.keys.size(); i-- > 0;)
        if (ignoreCase ? EqualNoCase(section.keys[i], key) : section.keys[i] == key)
            return static_cast<int>(i);
    return -1;
}

bool CIniFile::Equal(const std::string& a, const std::string& b) const
{
    return m_ignoreCase ? EqualNoCase(a, b) : a == b;
}

void CIniFile::AddSection(const std::string& name)
{
    // The section table grows by whole steps, never one slot at a time, and
    // by as many steps as it already holds, so a huge file loads in linear
    // time rather than copying the table at every few headers.
    if (m_sections.size() == m_sections.capacity()) {
        const std::size_t steps = std::max<std::size_t>(1, m_sections.capacity() / m_growthStep);
        m_sections.reserve(m_sections.capacity() + steps * m_growthStep);
    }
    // A name already taken stays with its first section: look-ups find the
    // first of two headers with the same name.
    m_sectionIndex.emplace(SectionKey(name), m_sections.size());
    m_sections.push_back(Section{name, {}, {}});
}
