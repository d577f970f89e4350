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

#include <cstddef>
#include <string>
#include <string_view>

class HttpReplyReader {
public:
    enum class Progress { More, Complete, NotFound, BadStatus };

    Progress Feed(std::string_view bytes);
    const std::string& Body() const { return body_; }
    bool Chunked() const { return chunked_; }
    long ContentLength() const { return contentLength_; }

private:
    enum class Phase { Headers, ChunkSize, ChunkData, ChunkEnd, Identity, Finished };

    Progress ReadHeaderLine(std::string_view line);
    bool NextLine(std::string& line);

    Phase phase_ = Phase::Headers;
    bool firstLine_ = true;
    bool chunked_ = false;
    long contentLength_ = 0;
    size_t chunkLeft_ = 0;
    std::string pending_;
    std::string body_;
};
