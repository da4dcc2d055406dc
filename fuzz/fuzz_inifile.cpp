// Any bytes as Connect.ini, read as the program reads it: the five keys it
// looks up are found whatever the case of their names, and every value is
// one line.
#include "check.h"
#include "inifile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

struct Key
{
    const char* section;
    const char* name;
};

const Key programKeys[] = {{"TORVELA", "database"},
                           {"TORVELA", "User_Name"},
                           {"TORVELA", "Password"},
                           {"PLATAFORMA", "url"},
                           {"PLATAFORMA", "ca"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniFile ini = IniFile::fromBytes(bytes);
    const QString missing = QStringLiteral("<missing>");
    for (const Key& key : programKeys) {
        const QString section = QLatin1String(key.section);
        const QString name = QLatin1String(key.name);
        const QString value = ini.readString(section, name, missing);
        expect(ini.readString(section.toLower(), name.toUpper(), missing) == value,
               "section and key names compare without regard to case");
        expect(!value.contains(QLatin1Char('\n')), "a value is one line");
    }
    return 0;
}
