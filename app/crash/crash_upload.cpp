#include "app/crash/crash_upload.h"

#include "app/crash/http_url.h"

namespace {

constexpr std::string_view kBoundary = "---------------------------7d3e1f30eec";

void AddField(std::string& body, std::string_view name, std::string_view value) {
    body += "--";
    body += kBoundary;
    body += "\r\nContent-Disposition: form-data; name=\"";
    body += name;
    body += "\"\r\n\r\n";
    body += value;
    body += "\r\n";
}

}  // namespace

std::string BuildCrashUpload(std::string_view uploadAddress, const CrashUploadFields& fields) {
    std::string body;
    for (const auto& [name, value] : fields.extra) AddField(body, name, value);
    AddField(body, "prod", fields.product);
    AddField(body, "version", fields.version);
    AddField(body, "usertext", fields.userText);
    AddField(body, "errortitle", fields.errorTitle);
    AddField(body, "errortext", fields.errorText);
    body += "--";
    body += kBoundary;
    body += "--\r\n";

    // The whole address in the Host header named no host a server knows.
    const HttpUrl url = ParseHttpUrl(uploadAddress);
    std::string request = "POST " + url.path + " HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=";
    request += kBoundary;
    request += "\r\nUser-Agent: Mozilla/4.0 (compatible; corvan)\r\nHost: " + HostHeader(url) +
               "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    return request + body;
}
