#include "app/crash/http_reply.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool StartsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

// A hexadecimal chunk size; false for anything that is not one (which ends the body).
bool ParseChunkSize(std::string_view line, size_t* size) {
    if (line.empty()) return false;
    const std::string text(line);
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
    // Chunk extensions after ';' are allowed; a size too large to hold is not.
    if (end == text.c_str() || errno == ERANGE || (*end != '\0' && *end != ';' && *end != ' ')) return false;
    *size = static_cast<size_t>(value);
    return true;
}

}  // namespace

bool HttpReplyReader::NextLine(std::string_view& line) {
    const std::string_view unread = Unread();
    // The last byte scanned may be the '\r' of a line end split between reads.
    const size_t end = unread.find("\r\n", scanned_ > 0 ? scanned_ - 1 : 0);
    if (end == std::string_view::npos) {
        scanned_ = unread.size();
        return false;
    }
    line = unread.substr(0, end);
    read_ += end + 2;
    scanned_ = 0;
    return true;
}

bool HttpReplyReader::TakeBody(std::string_view bytes) {
    if (bytes.size() > maxBody_ - body_.size()) return false;
    body_ += bytes;
    read_ += bytes.size();
    return true;
}

HttpReplyReader::Progress HttpReplyReader::Finish(Progress progress) {
    phase_ = Phase::Finished;
    // A refused reply has no body, however much of it had arrived.
    if (progress == Progress::TooLarge) body_.clear();
    return progress;
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
    // Used bytes are dropped once they are the greater part: each byte moves
    // a bounded number of times.
    if (read_ > pending_.size() / 2) {
        pending_.erase(0, read_);
        read_ = 0;
    }
    pending_.append(bytes);
    std::string_view line;
    for (;;) {
        switch (phase_) {
            case Phase::Headers: {
                if (!NextLine(line)) {
                    if (headerBytes_ + Unread().size() > kMaxHeader) return Finish(Progress::TooLarge);
                    return Progress::More;
                }
                headerBytes_ += line.size() + 2;
                if (headerBytes_ > kMaxHeader) return Finish(Progress::TooLarge);
                const Progress p = ReadHeaderLine(line);
                if (p != Progress::More) return Finish(p);
                if (phase_ == Phase::Identity && static_cast<unsigned long>(contentLength_) > maxBody_)
                    return Finish(Progress::TooLarge);
                break;
            }
            case Phase::ChunkSize: {
                if (!NextLine(line)) {
                    if (Unread().size() > kMaxHeader) return Finish(Progress::TooLarge);
                    return Progress::More;
                }
                if (line.size() + 2 > kMaxHeader) return Finish(Progress::TooLarge);
                if (!ParseChunkSize(line, &chunkLeft_) || chunkLeft_ == 0) return Finish(Progress::Complete);
                if (chunkLeft_ > maxBody_ - body_.size()) return Finish(Progress::TooLarge);
                phase_ = Phase::ChunkData;
                break;
            }
            case Phase::ChunkData: {
                const std::string_view part = Unread().substr(0, chunkLeft_);
                TakeBody(part);  // within the limit: checked against the chunk's size
                chunkLeft_ -= part.size();
                if (chunkLeft_ > 0) return Progress::More;
                phase_ = Phase::ChunkEnd;
                break;
            }
            case Phase::ChunkEnd:
                if (Unread().size() < 2) return Progress::More;
                read_ += 2;
                phase_ = Phase::ChunkSize;
                break;
            case Phase::Identity: {
                if (contentLength_ <= 0) {
                    if (!TakeBody(Unread())) return Finish(Progress::TooLarge);
                    return Progress::More;
                }
                const size_t want = static_cast<size_t>(contentLength_) - body_.size();
                TakeBody(Unread().substr(0, want));  // within the limit: the length was checked
                if (body_.size() < static_cast<size_t>(contentLength_)) return Progress::More;
                return Finish(Progress::Complete);
            }
            case Phase::Finished: return Progress::Complete;
        }
    }
}
