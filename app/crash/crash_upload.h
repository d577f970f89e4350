#pragma once
// The crash report's upload: a multipart form posted to the upload address.
// Fields in order: the application's own (key order), then "prod",
// "version", "usertext", "errortitle", "errortext".

#include <map>
#include <string>
#include <string_view>

struct CrashUploadFields {
    std::map<std::string, std::string> extra;
    std::string product, version, userText, errorTitle, errorText;
};

// The whole request: header and body. The Host header names the address's
// host (and port), and the request goes to the address's path.
std::string BuildCrashUpload(std::string_view uploadAddress, const CrashUploadFields& fields);
