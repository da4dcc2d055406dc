#pragma once

#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>

// The user's locale settings as dates are written with them. The short date
// format uses d, m and y for day, month and year; "/" in it stands for the
// locale's date separator.
struct FormatSettings
{
    QLocale locale;
    QString shortDateFormat;
    QChar dateSeparator = QLatin1Char('/');

    static FormatSettings fromLocale(const QLocale& locale);
    QString formatDate(QDate date) const;
};

// The settings the whole application writes dates with.
FormatSettings& applicationFormatSettings();
