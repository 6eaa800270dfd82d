#include "base/UserStore.h"

#include "base/Globals.h"
#include "core/app/IniFile.h"

#include <QDir>
#include <QStandardPaths>

#include <charconv>

CUserStore::CUserStore(std::string keyPath)
    : m_keyPath(std::move(keyPath))
{
}

CUserStore CUserStore::ForApplication()
{
    return CUserStore("Software\\" + g_iniFile.GetValue("Setup", "AppName", ""));
}

QString CUserStore::FilePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QStringLiteral("/radio-programmer/HKEY_CURRENT_USER.ini");
}

std::string CUserStore::QueryString(const std::string& name) const
{
    const QString path = FilePath();
    if (!QFile::exists(path))
        return {};
    CIniFile store(4);
    if (!store.Load(path.toStdString(), false, true))
        return {};
    return store.GetValue(m_keyPath, name, "");
}

std::optional<std::uint32_t> CUserStore::QueryDword(const std::string& name) const
{
    const std::string text = QueryString(name);
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::uint32_t CUserStore::QueryDword(const std::string& name, std::uint32_t missing) const
{
    return QueryDword(name).value_or(missing);
}

bool CUserStore::SetDword(const std::string& name, std::uint32_t value)
{
    return SetString(name, std::to_string(value));
}

bool CUserStore::SetString(const std::string& name, const std::string& value)
{
    const QString path = FilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    CIniFile store(4);
    if (!store.Load(path.toStdString(), false, true))
        return false;
    store.SetValue(m_keyPath, name, value);
    return store.Save();
}
