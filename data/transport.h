#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// One HTTP request as the data module hands it to the transport.
struct HttpRequestData
{
    QByteArray method;
    QString url;
    std::vector<std::pair<QByteArray, QByteArray>> headers; // in the order they are set
    QByteArray body;
    int connectTimeoutMs = 10000;
};

// Sends requests to the platform. Returns the whole reply body whatever
// the HTTP status; raises a Failure when no reply could be had.
class RequestTransport
{
public:
    virtual ~RequestTransport() = default;
    virtual QByteArray send(const HttpRequestData& request) = 0;
};
