#pragma once

#include <QString>

#include <vector>

// A read-only initialisation file with the semantics of the Windows INI
// reader: section and key names compare case-insensitively, values are
// trimmed and lose one pair of enclosing quotes, the first occurrence of a
// key wins, and backslashes, commas and semicolons inside values are plain
// characters.
class IniFile
{
public:
    // A missing or unreadable file gives an empty IniFile.
    static IniFile load(const QString& path);
    // The bytes of a file: UTF-8 (a byte-order mark is dropped) when they
    // decode as UTF-8, otherwise Latin-1, the ANSI code page's letters.
    static IniFile fromBytes(const QByteArray& bytes);
    static IniFile fromText(const QString& text);

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

private:
    struct Entry
    {
        QString section;
        QString key;
        QString value;
    };
    std::vector<Entry> m_entries;
};
