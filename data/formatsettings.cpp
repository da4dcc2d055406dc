#include "formatsettings.h"

FormatSettings FormatSettings::fromLocale(const QLocale& locale)
{
    FormatSettings s;
    s.locale = locale;
    const QString qtFormat = locale.dateFormat(QLocale::ShortFormat);
    for (QChar c : qtFormat) {
        if (!c.isLetter() && !c.isSpace()) {
            s.dateSeparator = c;
            break;
        }
    }
    // Qt writes the month as M; here it is m, and the separator is "/".
    for (QChar c : qtFormat) {
        if (c == QLatin1Char('M'))
            s.shortDateFormat += QLatin1Char('m');
        else if (c == s.dateSeparator)
            s.shortDateFormat += QLatin1Char('/');
        else
            s.shortDateFormat += c;
    }
    return s;
}

QString FormatSettings::formatDate(QDate date) const
{
    QString out;
    const QString& f = shortDateFormat;
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f.at(i);
        qsizetype run = 1;
        while (i + run < f.size() && f.at(i + run) == c)
            ++run;
        const QChar lower = c.toLower();
        if (lower == QLatin1Char('d'))
            out += run >= 2 ? QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'))
                            : QString::number(date.day());
        else if (lower == QLatin1Char('m'))
            out += run >= 2 ? QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'))
                            : QString::number(date.month());
        else if (lower == QLatin1Char('y'))
            out += run >= 3 ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))
                            : QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0'));
        else if (c == QLatin1Char('/'))
            out += QString(run, dateSeparator);
        else
            out += QString(run, c);
        i += run;
    }
    return out;
}

FormatSettings& applicationFormatSettings()
{
    static FormatSettings settings = FormatSettings::fromLocale(QLocale::system());
    return settings;
}
