#include "databaselocation.h"

#include "errors.h"

int parsePort(const QString& text)
{
    bool ok = !text.isEmpty();
    for (QChar c : text)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int port = ok ? text.toInt(&ok) : 0;
    if (!ok || port < 1 || port > 65535)
        throw Failure(QStringLiteral("'%1' não é um número de porta válido.").arg(text));
    return port;
}

void DatabaseLocation::parse(const QString& value)
{
    if (value.size() >= 2 && value.at(1) == QLatin1Char(':')) {
        hostName.clear();
        database = value;
        return;
    }
    const qsizetype colon = value.indexOf(QLatin1Char(':'));
    const QString hostPart = colon < 0 ? QString() : value.left(colon);
    // Without a colon the whole value is the database.
    const QString path = colon < 0 ? value : value.mid(colon + 1);
    const qsizetype slash = hostPart.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        hostName = hostPart;
        database = path;
        port = 3050;
    } else {
        hostName = hostPart.left(slash);
        database = path;
        port = parsePort(hostPart.mid(slash + 1));
    }
}

QString DatabaseLocation::connectionString() const
{
    if (hostName.isEmpty())
        return database;
    // One arg() for all three: a "%1" inside the host or path stays text.
    return QStringLiteral("%1/%2:%3").arg(hostName, QString::number(port), database);
}
