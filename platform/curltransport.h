#pragma once

#include "transport.h"

#include <QString>

struct PlatformSettings;

// Sends platform requests with libcurl, one new handle (and connection)
// per request, synchronously on the calling thread, with the busy cursor.
// libcurl is loaded by the first request, not by the program's start; a
// library that cannot be loaded raises a Failure on each request.
//
// - The connection phase (TCP and TLS handshake) is limited by the
//   request's connectTimeoutMs; the whole exchange by totalTimeoutMs; a
//   transfer that stalls (under 1 byte/s for stallSeconds) is aborted.
// - A reply larger than maxReplyBytes is refused.
// - Certificates and host names are always verified; the authorities of
//   the optional CA file are trusted besides the system's (read from the
//   system's hashed folder where libcurl has one, else from its bundle).
// - Only https:// is accepted, and plain http:// for this computer
//   (127.x.x.x, [::1], localhost). No redirect is followed.
// - Every failure to get a reply raises a Failure naming the host; the
//   reply body is returned whatever the HTTP status.
class CurlTransport : public RequestTransport
{
public:
    static constexpr int defaultTotalTimeoutMs = 60000;
    static constexpr int stallSeconds = 30;
    static constexpr qint64 maxReplyBytes = 16 * 1024 * 1024;

    explicit CurlTransport(const PlatformSettings& settings);
    // caFile: a PEM file of extra trusted certificate authorities; empty
    // for none.
    explicit CurlTransport(QString caFile = QString());

    QString caFile() const { return m_caFile; }
    int totalTimeoutMs() const { return m_totalTimeoutMs; }
    // Tests lower the bound to see a stalled exchange end quickly.
    void setTotalTimeoutMs(int ms) { m_totalTimeoutMs = ms; }
    // Tests stand a folder of their own (hashed as `openssl rehash` does
    // it) for the system's authorities; empty for libcurl's own.
    void setSystemCaFolder(const QString& folder) { m_systemCaFolder = folder; }

    QByteArray send(const HttpRequestData& request) override;

private:
    QString m_caFile;
    int m_totalTimeoutMs = defaultTotalTimeoutMs;
    QString m_systemCaFolder;
};
