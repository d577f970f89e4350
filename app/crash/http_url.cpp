#include "app/crash/http_url.h"

#include <charconv>

HttpUrl ParseHttpUrl(std::string_view url) {
    HttpUrl parts;
    size_t hostStart = 0;
    if (const size_t slashes = url.find("//"); slashes != std::string_view::npos) {
        // "http://" gives "http": the text before "//" less its colon.
        parts.scheme = std::string(url.substr(0, slashes > 0 ? slashes - 1 : 0));
        hostStart = slashes + 2;
    }
    std::string_view host = url.substr(std::min(hostStart, url.size()));
    if (const size_t slash = host.find('/'); slash != std::string_view::npos) {
        parts.path = std::string(host.substr(slash));
        host = host.substr(0, slash);
    }
    if (const size_t colon = host.find(':'); colon != std::string_view::npos) {
        const std::string_view digits = host.substr(colon + 1);
        int port = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        parts.port =
            (error == std::errc() && end == digits.data() + digits.size() && port > 0 && port <= 65535) ? port : 0;
        host = host.substr(0, colon);
    }
    parts.host = std::string(host);
    return parts;
}

std::string HostHeader(const HttpUrl& url) {
    return url.port == 80 ? url.host : url.host + ":" + std::to_string(url.port);
}
