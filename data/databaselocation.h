#pragma once

#include <QString>

// Where the database is, as the "database" value of Connect.ini names it.
struct DatabaseLocation
{
    QString hostName; // empty: a local file opened by the embedded engine
    QString database;
    int port = 0;

    // Applies the value's three forms: "C:\path" (local), "host:path"
    // (port 3050) and "host/port:path". Host and database are set before the
    // port is read, so a port that is not a decimal number leaves them set
    // and raises a Failure with the conversion error.
    void parse(const QString& value);

    // The connection string of the Firebird client: "host/port:path", or
    // the bare path for a local file.
    QString connectionString() const;
};

// Reads a TCP port written as decimal digits; raises a Failure otherwise.
int parsePort(const QString& text);
