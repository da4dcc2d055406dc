#include "inifile.h"

#include <QFile>
#include <QStringDecoder>

IniFile IniFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

IniFile IniFile::fromBytes(const QByteArray& bytes)
{
    // Files written by Windows editors are UTF-8 (with or without BOM) or
    // the ANSI code page; take UTF-8 when it decodes cleanly.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return fromText(text);
}

IniFile IniFile::fromText(const QString& text)
{
    IniFile ini;
    QString section;
    bool inSection = false;
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed().toString();
            inSection = true;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inSection || eq <= 0)
            continue;
        QStringView value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2) {
            const QChar first = value.front();
            if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
                value = value.mid(1, value.size() - 2);
        }
        ini.m_entries.push_back({section, line.left(eq).trimmed().toString(), value.toString()});
    }
    return ini;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    for (const Entry& e : m_entries) {
        if (e.section.compare(section, Qt::CaseInsensitive) == 0 &&
            e.key.compare(key, Qt::CaseInsensitive) == 0)
            return e.value;
    }
    return defaultValue;
}
