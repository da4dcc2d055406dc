#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <vector>

// An error whose message is meant for the user; the handler guard shows it.
class Failure : public std::exception
{
public:
    explicit Failure(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// An error reported by the database server or the client library, with the
// server's own message text and its status codes.
class DatabaseError : public Failure
{
public:
    DatabaseError(QString message, std::vector<long> codes, bool connectionLost)
        : Failure(std::move(message)), m_codes(std::move(codes)), m_connectionLost(connectionLost)
    {
    }
    const std::vector<long>& codes() const noexcept { return m_codes; }
    bool hasCode(long code) const noexcept
    {
        for (long c : m_codes)
            if (c == code)
                return true;
        return false;
    }
    // The server's code for a text longer than the column or parameter
    // it goes into.
    static constexpr long StringTruncation = 335544914;

    // The connection is gone (server stopped, network cut): the next
    // operation connects again.
    bool connectionLost() const noexcept { return m_connectionLost; }

private:
    std::vector<long> m_codes;
    bool m_connectionLost;
};

// Raised by a handler that has already told the user why it stops; the
// handler guard swallows it without a further message.
class SilentAbort : public std::exception
{
public:
    const char* what() const noexcept override { return "silent abort"; }
};
