#pragma once

// The floor of reading a table: the Firebird client's own C++ interface
// used as plainly as it can be. One attachment, one statement prepared
// once, and each fetch writes the row into one message buffer laid out by
// the statement's own output metadata; nothing is copied or converted.

#include <QString>
#include <QStringList>

#include <memory>

namespace bench {

struct Server;

class BareFetch
{
public:
    // Attaches the way the program does (user, password, UTF8).
    BareFetch(const Server& server, const QString& path);
    ~BareFetch();
    BareFetch(const BareFetch&) = delete;
    BareFetch& operator=(const BareFetch&) = delete;

    void prepare(const QString& select);

    struct Result
    {
        long long rows = 0;
        // Every column of every row is looked at (null flag, length, first
        // byte): the sum keeps the compiler from skipping the work.
        unsigned long long checksum = 0;
    };
    // Runs the prepared select in its own read-only read-committed
    // transaction, as the program does, fetching every row.
    Result fetchAll();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Drops a database of the server; nothing may be attached to it.
void dropDatabase(const Server& server, const QString& path);
// Drops the databases a benchmark made (empty paths are skipped), saying
// so when one cannot be dropped; returns `rc`.
int dropQuietly(const Server& server, const QStringList& paths, int rc);

} // namespace bench
