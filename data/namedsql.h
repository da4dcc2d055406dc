#pragma once

#include <QString>
#include <QStringList>

// A statement with named parameters (":xSenha") turned into the positional
// form ("?") of the Firebird client. A colon inside a string literal, a
// quoted identifier or a comment is not a parameter.
struct NamedSql
{
    QString positional;
    QStringList names; // one per "?", in order; a name may repeat

    static NamedSql parse(const QString& sql);
};
