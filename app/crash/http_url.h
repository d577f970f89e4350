#pragma once
// The parts of an upload address: "scheme://host:port/path", where every
// part but the host may be missing (port 80, path "/").

#include <string>
#include <string_view>

struct HttpUrl {
    std::string scheme;
    std::string host;
    // 0 when the address names a port that is no port number (1 to 65535).
    int port = 80;
    std::string path = "/";
};

HttpUrl ParseHttpUrl(std::string_view url);
// The Host header's value: the host, with ":port" when it is not 80.
std::string HostHeader(const HttpUrl& url);
