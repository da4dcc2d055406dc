#include "wirecapture.h"

#include <openssl/ssl.h>

#if defined(__GLIBC__)
#include <dlfcn.h>
#define PLATFORM_SIM_WIRE_CAPTURE 1
#endif

namespace {

constexpr size_t maxHeadBytes = 64 * 1024;

struct HeadCapture
{
    std::string bytes;
    bool complete = false; // the empty line was seen (or the head is too long)
};

void freeCapture(void*, void* data, CRYPTO_EX_DATA*, int, long, void*)
{
    delete static_cast<HeadCapture*>(data);
}

int captureIndex()
{
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, freeCapture);
    return index;
}

[[maybe_unused]] void record(SSL* ssl, const void* data, int length)
{
    auto* capture = static_cast<HeadCapture*>(SSL_get_ex_data(ssl, captureIndex()));
    if (!capture) {
        capture = new HeadCapture;
        SSL_set_ex_data(ssl, captureIndex(), capture);
    }
    if (capture->complete)
        return; // the body, read after the head
    capture->bytes.append(static_cast<const char*>(data), size_t(length));
    const size_t end = capture->bytes.find("\r\n\r\n");
    if (end != std::string::npos) {
        capture->bytes.resize(end + 4);
        capture->complete = true;
    } else if (capture->bytes.size() > maxHeadBytes) {
        capture->complete = true;
    }
}

} // namespace

#ifdef PLATFORM_SIM_WIRE_CAPTURE
// Takes the place of OpenSSL's SSL_read for the server library: reads
// through the real one and keeps what arrives until the end of the head.
extern "C" int SSL_read(SSL* ssl, void* buffer, int size)
{
    using Read = int (*)(SSL*, void*, int);
    static const Read real = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "SSL_read"));
    const int n = real(ssl, buffer, size);
    if (n > 0)
        record(ssl, buffer, n);
    return n;
}
#endif

bool wireCaptureAvailable()
{
#ifdef PLATFORM_SIM_WIRE_CAPTURE
    return true;
#else
    return false;
#endif
}

std::optional<std::string> takeRequestHead(const ssl_st* ssl)
{
    if (!ssl)
        return std::nullopt;
    auto* capture = static_cast<HeadCapture*>(SSL_get_ex_data(ssl, captureIndex()));
    if (!capture)
        return std::nullopt;
    std::string head = std::move(capture->bytes);
    const bool whole = capture->complete && head.size() <= maxHeadBytes;
    capture->bytes.clear();
    capture->complete = false;
    if (!whole)
        return std::nullopt;
    return head;
}

HeaderList headerLines(const std::string& head)
{
    HeaderList headers;
    size_t start = head.find("\r\n"); // after the request line
    while (start != std::string::npos) {
        start += 2;
        const size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start)
            break;
        const std::string line = head.substr(start, end - start);
        const size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        std::string value = colon == std::string::npos ? std::string() : line.substr(colon + 1);
        const size_t first = value.find_first_not_of(" \t");
        value = first == std::string::npos ? std::string() : value.substr(first);
        const size_t last = value.find_last_not_of(" \t");
        value.resize(last == std::string::npos ? 0 : last + 1);
        headers.emplace_back(std::move(name), std::move(value));
        start = end;
    }
    return headers;
}
