#include "app/crash/http_reply.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool StartsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

// A hexadecimal chunk size; false for anything that is not one (which ends the body).
bool ParseChunkSize(const std::string& line, size_t* size) {
    if (line.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(line.c_str(), &end, 16);
    // Chunk extensions after ';' are allowed; a size too large to hold is not.
    if (end == line.c_str() || errno == ERANGE || (*end != '\0' && *end != ';' && *end != ' ')) return false;
    *size = static_cast<size_t>(value);
    return true;
}

}  // namespace

bool HttpReplyReader::NextLine(std::string& line) {
    const size_t end = pending_.find("\r\n");
    if (end == std::string::npos) return false;
    line.assign(pending_, 0, end);
    pending_.erase(0, end + 2);
    return true;
}

HttpReplyReader::Progress HttpReplyReader::ReadHeaderLine(std::string_view line) {
    if (firstLine_) {
        firstLine_ = false;
        if (StartsWith(line, "HTTP/1.")) {
            // The status code sits at characters 9 to 11; a shorter line has none.
            const std::string_view code = line.size() >= 12 ? line.substr(9, 3) : std::string_view();
            if (code == "404") return Progress::NotFound;
            if (code != "200") return Progress::BadStatus;
            return Progress::More;
        }
    }
    if (line.empty()) {
        phase_ = chunked_ ? Phase::ChunkSize : Phase::Identity;
        return Progress::More;
    }
    constexpr std::string_view kEncoding = "Transfer-Encoding: ";
    constexpr std::string_view kLength = "Content-Length: ";
    if (StartsWith(line, kEncoding)) {
        chunked_ = line.substr(kEncoding.size()) != "identity";
    } else if (StartsWith(line, kLength)) {
        const std::string digits(line.substr(kLength.size()));
        char* end = nullptr;
        errno = 0;
        const long length = std::strtol(digits.c_str(), &end, 10);
        // A negative or unreadable length counts as none: read to the close.
        contentLength_ = (end != digits.c_str() && errno == 0 && length > 0) ? length : 0;
    }
    return Progress::More;
}

HttpReplyReader::Progress HttpReplyReader::Feed(std::string_view bytes) {
    if (phase_ == Phase::Finished) return Progress::Complete;
    pending_.append(bytes);
    std::string line;
    for (;;) {
        switch (phase_) {
            case Phase::Headers: {
                if (!NextLine(line)) return Progress::More;
                const Progress p = ReadHeaderLine(line);
                if (p != Progress::More) {
                    phase_ = Phase::Finished;
                    return p;
                }
                break;
            }
            case Phase::ChunkSize:
                if (!NextLine(line)) return Progress::More;
                if (!ParseChunkSize(line, &chunkLeft_) || chunkLeft_ == 0) {
                    phase_ = Phase::Finished;
                    return Progress::Complete;
                }
                phase_ = Phase::ChunkData;
                break;
            case Phase::ChunkData: {
                const size_t take = std::min(chunkLeft_, pending_.size());
                body_.append(pending_, 0, take);
                pending_.erase(0, take);
                chunkLeft_ -= take;
                if (chunkLeft_ > 0) return Progress::More;
                phase_ = Phase::ChunkEnd;
                break;
            }
            case Phase::ChunkEnd:
                if (pending_.size() < 2) return Progress::More;
                pending_.erase(0, 2);
                phase_ = Phase::ChunkSize;
                break;
            case Phase::Identity: {
                if (contentLength_ <= 0) {
                    body_ += pending_;
                    pending_.clear();
                    return Progress::More;
                }
                const size_t want = static_cast<size_t>(contentLength_) - body_.size();
                const size_t take = std::min(want, pending_.size());
                body_.append(pending_, 0, take);
                pending_.erase(0, take);
                if (body_.size() < static_cast<size_t>(contentLength_)) return Progress::More;
                phase_ = Phase::Finished;
                return Progress::Complete;
            }
            case Phase::Finished: return Progress::Complete;
        }
    }
}
