#include "base/UserStore.h"

#include "base/Globals.h"

#include <QDir>
#include <QStandardPaths>

CUserStore::CUserStore(std::string keyPath)
    : m_keyPath(std::move(keyPath))
{}

CUserStore CUserStore::ForApplication()
{
    return CUserStore("Software\\" + g_iniFile.GetValue("Setup", "AppName", ""));
}

QString CUserStore::FilePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QStringLiteral("/radio-programmer/HKEY_CURRENT_USER.ini");
}

UserValues CUserStore::Values() const
{
#ifdef Q_OS_WIN
    return UserValues::InRegistry(m_keyPath);
#else
    return UserValues(FilePath().toStdString(), m_keyPath);
#endif
}

std::optional<std::uint32_t> CUserStore::QueryDword(const std::string& name) const
{
    return Values().QueryDword(name);
}

std::uint32_t CUserStore::QueryDword(const std::string& name, std::uint32_t missing) const
{
    return QueryDword(name).value_or(missing);
}

bool CUserStore::SetDword(const std::string& name, std::uint32_t value)
{
    return Values().SetDword(name, value);
}

std::string CUserStore::QueryString(const std::string& name) const
{
    return Values().QueryString(name).value_or("");
}

bool CUserStore::SetString(const std::string& name, const std::string& value)
{
    return Values().SetString(name, value);
}
