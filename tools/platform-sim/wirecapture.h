#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ssl_st;

// The request head (request line and header lines, up to the empty line)
// exactly as it arrived over TLS. The server library keeps headers in a
// sorted map; the log needs them in the order the client sent them.
//
// The capture wraps the OpenSSL read the server library calls, which
// works where the dynamic linker lets the executable's definition take
// its place (glibc).
bool wireCaptureAvailable();

// The head of the request just read on this connection, if it was
// captured; the next request on the connection is captured afresh.
std::optional<std::string> takeRequestHead(const ssl_st* ssl);

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// The header lines of a request head, as (name, value) in their order.
HeaderList headerLines(const std::string& head);
