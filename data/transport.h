#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// Who the software house is to the platform: the "cnpj-sh" and "token-sh"
// headers of every request. The token is a credential: no text shown to
// the user contains it.
inline constexpr char softwareHouseCnpj[] = "58204617000290";
inline constexpr char softwareHouseToken[] = "b3f9e07a5d21c48f96a0e3d7152bc94e";

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
