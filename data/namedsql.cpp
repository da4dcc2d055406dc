#include "namedsql.h"

namespace {
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
} // namespace

NamedSql NamedSql::parse(const QString& sql)
{
    NamedSql out;
    out.positional.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copyUntil = [&](qsizetype end) {
        out.positional += QStringView(sql).mid(i, end - i);
        i = end;
    };
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Doubled quotes inside are escapes: scanning on to the next quote
            // and starting over handles them.
            qsizetype end = sql.indexOf(c, i + 1);
            copyUntil(end < 0 ? n : end + 1);
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            copyUntil(end < 0 ? n : end);
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            copyUntil(end < 0 ? n : end + 2);
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameChar(sql.at(i + 1))) {
            qsizetype end = i + 1;
            while (end < n && isNameChar(sql.at(end)))
                ++end;
            out.names << sql.mid(i + 1, end - i - 1);
            out.positional += QLatin1Char('?');
            i = end;
        } else {
            out.positional += c;
            ++i;
        }
    }
    return out;
}
