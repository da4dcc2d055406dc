// Any text as the "database" value of Connect.ini: it is parsed into a
// location or refused with the port message, and a server's connection
// string reads back as the same server, port and path.
#include "check.h"
#include "databaselocation.h"
#include "errors.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString value =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    DatabaseLocation location;
    try {
        location.parse(value);
    } catch (const Failure& e) {
        expect(e.message().contains(QStringLiteral("porta")), "a refusal names the port");
        return 0;
    }
    if (location.hostName.isEmpty()) {
        // A local file: the client gets the path as it was written.
        expect(location.connectionString() == location.database, "a local file is its path");
        return 0;
    }
    expect(location.port >= 1 && location.port <= 65535, "a server's port is a TCP port");
    DatabaseLocation again;
    again.parse(location.connectionString());
    expect(again.hostName == location.hostName, "the connection string keeps the host");
    expect(again.database == location.database, "the connection string keeps the path");
    expect(again.port == location.port, "the connection string keeps the port");
    return 0;
}
