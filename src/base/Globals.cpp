#include "base/Globals.h"

#include <QStringDecoder>

CIniFile g_iniFile(4);
std::string g_strLanguage;
unsigned char g_byLanguage = 0;
std::string g_strHelpFile;
CLanguageResources* g_pResources = nullptr;
QString g_strAppDir;
QString g_strMainTitle;
std::string g_strPortName = "COM1";
unsigned char g_byNewDocument = 0;
int g_nDeviceMode = 2;

void ResetGlobals()
{
    g_iniFile.Clear();
    g_strLanguage.clear();
    g_byLanguage = 0;
    g_strHelpFile.clear();
    g_pResources = nullptr;
    g_strAppDir.clear();
    g_strMainTitle.clear();
    g_strPortName = "COM1";
    g_byNewDocument = 0;
    g_nDeviceMode = 2;
}

QString ConfigText(const std::string& bytes)
{
    const QByteArray raw = QByteArray::fromStdString(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        text = gb.decode(raw);
        if (!gb.hasError())
            return text;
    }
    return QString::fromLatin1(raw);
}

QString IniText(const std::string& section, const std::string& key)
{
    return ConfigText(g_iniFile.GetValue(section, key, ""));
}

QString LanguageText(const std::string& key)
{
    return IniText(g_strLanguage, key);
}
