#pragma once
// A text configuration file of the INI kind held in memory: read once, looked
// up by section and key, changed in memory and written back whole.
//
// Texts are byte strings: UTF-8 and GBK pass through unchanged. Comparison
// without case folds single-byte ASCII letters only; a double-byte character
// must match exactly.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CIniFile
{
public:
    explicit CIniFile(std::size_t growthStep = 4);
    ~CIniFile();

    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Loads fileName from ProgramDirectory(programPath).
    bool LoadBesideProgram(const std::string& programPath, const std::string& fileName, bool writeBack,
                           bool ignoreCase);
    bool Load(const std::string& path, bool writeBack, bool ignoreCase);

    std::string GetValue(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    void SetValue(const std::string& section, const std::string& key, const std::string& value);

    // Writes the file when something was changed. Returns false when the
    // write failed; the previous file is then left as it was.
    bool Save();
    void Clear();
    // Makes the next Save write the file even when no value differs (a
    // change of letter case alone does not mark the store changed).
    void MarkChanged() { m_changed = true; }

    const std::string& FilePath() const { return m_filePath; }
    bool IsChanged() const { return m_changed; }

private:
    struct Section
    {
        std::string name;
        std::vector<std::string> keys;
        std::vector<std::string> values;
    };

    // Sections are found through a map from the name (folded when case is
    // ignored) to the first section of that name.
    std::string SectionKey(const std::string& name) const;
    int FindSection(const std::string& name) const;
    static int FindKey(const Section& section, const std::string& key, bool ignoreCase);
    bool Equal(const std::string& a, const std::string& b) const;
    void AddSection(const std::string& name);

    std::string m_filePath;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;
    std::size_t m_growthStep;
    bool m_ignoreCase = false;
    bool m_writeBack = false;
    bool m_changed = false;
};

// The directory of the file that programPath names, symbolic links resolved,
// without a trailing '/'; the current directory when programPath has no
// directory part. Given the real executable, a program started through a
// link or by a bare name found on PATH finds the files beside it all the same.
std::string ProgramDirectory(const std::string& programPath);
// The path of the running executable (UTF-8); empty when the system does
// not tell.
std::string RunningExecutablePath();
