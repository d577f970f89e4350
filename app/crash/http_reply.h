#pragma once
// Reads an HTTP/1.1 reply as its bytes arrive, in pieces of any size: the
// status line, the headers that matter (Transfer-Encoding, Content-Length)
// and the body, de-chunked when the reply is chunked.
//
// A status line saying 404 ends the reply as NotFound, any other code but
// 200 as BadStatus. A reply without a status line is read as headers and
// body all the same. Without a length and without chunking the body runs
// until the connection closes (the caller's concern: Feed keeps answering
// More).
//
// Nothing grows without bound: a header (status line, fields and the empty
// line, with their line ends) over kMaxHeader bytes, a chunk-size line as
// long, or a body over the size the caller allows ends the reply as
// TooLarge, with no body. Every byte is looked at a bounded number of times,
// and the outcome is the same however the reply is split.

#include <cstddef>
#include <string>
#include <string_view>

class HttpReplyReader {
public:
    enum class Progress { More, Complete, NotFound, BadStatus, TooLarge };
    static constexpr size_t kMaxHeader = 64 * 1024;

    explicit HttpReplyReader(size_t maxBody) : maxBody_(maxBody) {}

    Progress Feed(std::string_view bytes);
    const std::string& Body() const { return body_; }
    bool Chunked() const { return chunked_; }
    long ContentLength() const { return contentLength_; }

private:
    enum class Phase { Headers, ChunkSize, ChunkData, ChunkEnd, Identity, Finished };

    Progress Step();
    Progress ReadHeaderLine(std::string_view line);
    // The next whole line, without its "\r\n"; false when none has arrived.
    bool NextLine(std::string_view& line);
    std::string_view Unread() const { return std::string_view(pending_).substr(read_); }
    bool TakeBody(std::string_view bytes);
    Progress Finish(Progress progress);

    size_t maxBody_;
    Phase phase_ = Phase::Headers;
    bool firstLine_ = true;
    bool chunked_ = false;
    long contentLength_ = 0;
    size_t chunkLeft_ = 0;
    size_t headerBytes_ = 0;
    // Bytes arrived and not yet used: pending_ from read_ on. scanned_ counts
    // those of them already known to hold no line end.
    std::string pending_;
    size_t read_ = 0;
    size_t scanned_ = 0;
    std::string body_;
};
