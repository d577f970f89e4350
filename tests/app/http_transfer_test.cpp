// The HTTP transfer against a server the test starts on 127.0.0.1, one case
// per final state, and the reply reader and address parser on their own.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "app/crash/http_reply.h"
#include "app/crash/http_transfer.h"
#include "tests/app/loopback_server.h"

namespace {

using testsupport::LoopbackServer;
using testsupport::ReplyPiece;

// Polls as the report's progress window does, with a generous ceiling.
int WaitForFinalState(const HTTPTransfer& transfer) {
    for (int i = 0; i < 500 && !transfer.IsFinal(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return transfer.GetState();
}

std::string Request(const std::string& body) {
    return "POST /report HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

TEST(HttpTransfer, ReplyStatesAgainstLoopbackServer) {
    struct Case {
        const char* what;
        std::vector<ReplyPiece> reply;
        LoopbackServer::Then then;
        int state;
        std::string body;
    };
    const std::vector<Case> cases{
        {"404", {{"HTTP/1.1 404 Not Found\r\n\r\n"}}, LoopbackServer::Then::Hold, HTTPTransfer::kNotFound, ""},
        {"302",
         {{"HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n"}},
         LoopbackServer::Then::Hold,
         HTTPTransfer::kBadStatus,
         ""},
        // The length alone ends the body: the server keeps the connection open.
        {"identity",
         {{"HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nhello"}, {" world", 50}},
         LoopbackServer::Then::Hold,
         HTTPTransfer::kDone,
         "hello world"},
        // Any encoding but identity is read as chunked; pieces split chunks anywhere.
        {"chunked",
         {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n5\r\nab"},
          {"cde\r\n", 30},
          {"a\r\n0123456789\r\n0\r\n\r\n", 30}},
         LoopbackServer::Then::Hold,
         HTTPTransfer::kDone,
         "abcde0123456789"},
        {"no status line, read to close",
         {{"\r\nplain text"}},
         LoopbackServer::Then::Close,
         HTTPTransfer::kDone,
         "plain text"},
        // A reply larger than any answer to a report is refused, not gathered.
        {"body over the limit",
         {{"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(HTTPTransfer::kMaxReplyBody + 1) + "\r\n\r\nab"}},
         LoopbackServer::Then::Hold,
         HTTPTransfer::kReplyTooLarge,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackServer server(c.reply, c.then);
        HTTPTransfer transfer;
        transfer.Start(server.Url("/report"), Request("report body"));
        EXPECT_EQ(WaitForFinalState(transfer), c.state);
        EXPECT_EQ(transfer.Body(), c.body);
        EXPECT_EQ(server.Request(), Request("report body"));
    }
}

TEST(HttpTransfer, RefusedConnectionIsAConnectFailure) {
    HTTPTransfer transfer;
    transfer.Start("127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()), Request("x"));
    EXPECT_EQ(WaitForFinalState(transfer), HTTPTransfer::kConnectFailed);
}

TEST(HttpTransfer, PeerClosingBeforeReadingIsASendFailureNotADeadProcess) {
    LoopbackServer server({}, LoopbackServer::Then::Close, false);
    HTTPTransfer transfer;
    transfer.Start(server.Url(), Request(std::string(16 << 20, 'r')));
    EXPECT_EQ(WaitForFinalState(transfer), HTTPTransfer::kSendFailed);
}

TEST(HttpTransfer, AbortMidBodyEndsWithinAWait) {
    LoopbackServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial"}}, LoopbackServer::Then::Hold);
    HTTPTransfer transfer;
    transfer.Start(server.Url(), Request("x"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(transfer.GetState(), HTTPTransfer::kRunning);
    const auto asked = std::chrono::steady_clock::now();
    transfer.Abort();
    EXPECT_EQ(WaitForFinalState(transfer), HTTPTransfer::kAborted);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(400));
    EXPECT_EQ(transfer.Body(), "partial");
}

TEST(HttpTransfer, UnresolvableHostAndPortlessAddress) {
    HTTPTransfer transfer;
    transfer.Start("http://127.0.0.1:http/", Request("x"));
    EXPECT_EQ(WaitForFinalState(transfer), HTTPTransfer::kResolveFailed);
    transfer.Start("http:///no-host", Request("x"));
    EXPECT_EQ(WaitForFinalState(transfer), HTTPTransfer::kResolveFailed);
}

TEST(HttpUrl, PartsOfAddresses) {
    struct Case {
        const char* url;
        const char* scheme;
        const char* host;
        int port;
        const char* path;
    };
    for (const Case& c : {Case{"myhost:8080", "", "myhost", 8080, "/"},
                          Case{"http://example.test/errors/post.php", "http", "example.test", 80, "/errors/post.php"},
                          Case{"https://h:443", "https", "h", 443, "/"}, Case{"//h:99999/p", "", "h", 0, "/p"}}) {
        SCOPED_TRACE(c.url);
        const HttpUrl url = ParseHttpUrl(c.url);
        EXPECT_EQ(url.scheme, c.scheme);
        EXPECT_EQ(url.host, c.host);
        EXPECT_EQ(url.port, c.port);
        EXPECT_EQ(url.path, c.path);
    }
}

// The body must not depend on where the network splits the reply.
TEST(HttpReplyReader, ChunkedBodyIsTheSameForEverySplit) {
    const std::string reply =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
        "3\r\nabc\r\n10\r\n0123456789abcdef\r\n1;ext=1\r\nZ\r\n0\r\n\r\n";
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        HttpReplyReader reader(1024);
        HttpReplyReader::Progress progress = HttpReplyReader::Progress::More;
        for (size_t at = 0; at < reply.size();) {
            const size_t piece = 1 + random() % 9;
            progress = reader.Feed(std::string_view(reply).substr(at, piece));
            at += piece;
        }
        ASSERT_EQ(progress, HttpReplyReader::Progress::Complete);
        ASSERT_EQ(reader.Body(), "abc0123456789abcdefZ");
    }
}

TEST(HttpReplyReader, MalformedHeadersNeverOverrun) {
    HttpReplyReader shortStatus(1024);
    EXPECT_EQ(shortStatus.Feed("HTTP/1.1\r\n"), HttpReplyReader::Progress::BadStatus);
    HttpReplyReader negativeLength(1024);
    EXPECT_EQ(negativeLength.Feed("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nrest"),
              HttpReplyReader::Progress::More);
    EXPECT_EQ(negativeLength.Body(), "rest");
    HttpReplyReader hugeChunk(1024);
    EXPECT_EQ(hugeChunk.Feed("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFF\r\nab"),
              HttpReplyReader::Progress::Complete);
    EXPECT_EQ(hugeChunk.Body(), "");
}

// Neither the header nor the body may grow without bound: a header over
// 64 KiB and a body over the caller's limit end the reply, however it comes.
TEST(HttpReplyReader, HeaderAndBodyBeyondTheirLimitsAreRefused) {
    using P = HttpReplyReader::Progress;
    const std::string status = "HTTP/1.1 200 OK\r\n";
    std::string fields;
    while (status.size() + fields.size() + 13 + 2 <= HttpReplyReader::kMaxHeader) fields += "X-Pad: 1234\r\n";
    struct Case {
        const char* what;
        std::string reply;
        P progress;
    };
    const std::vector<Case> cases{
        {"header just under the limit", status + fields + "\r\n", P::More},
        {"one header line more", status + fields + "X-Pad: 1234\r\n\r\n", P::TooLarge},
        {"a line that never ends", status + std::string(HttpReplyReader::kMaxHeader, 'h'), P::TooLarge},
        {"length at the limit", status + "Content-Length: 100\r\n\r\n" + std::string(100, 'b'), P::Complete},
        {"length over the limit", status + "Content-Length: 101\r\n\r\n", P::TooLarge},
        {"chunks adding up past the limit",
         status + "Transfer-Encoding: chunked\r\n\r\n40\r\n" + std::string(64, 'c') + "\r\n30\r\n", P::TooLarge},
        {"chunk size line that never ends", status + "Transfer-Encoding: chunked\r\n\r\n" + std::string(70000, '0'),
         P::TooLarge},
        {"read to the close past the limit", status + "\r\n" + std::string(101, 'b'), P::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t piece : {size_t{1}, size_t{7}, c.reply.size()}) {
            HttpReplyReader reader(100);
            P progress = P::More;
            for (size_t at = 0; at < c.reply.size() && progress == P::More; at += piece)
                progress = reader.Feed(std::string_view(c.reply).substr(at, piece));
            EXPECT_EQ(progress, c.progress) << "pieces of " << piece;
            EXPECT_EQ(reader.Body().empty(), c.progress != P::Complete) << "pieces of " << piece;
        }
    }
}

// Each read used to scan every pending byte again for a line end: a long
// header arriving in small pieces took time quadratic in its length.
TEST(HttpReplyReader, PendingBytesAreScannedOnceWhateverThePieces) {
    const std::string line(HttpReplyReader::kMaxHeader - 4, '\r');
    HttpReplyReader reader(0);
    const auto start = std::chrono::steady_clock::now();
    for (char byte : line) ASSERT_EQ(reader.Feed(std::string_view(&byte, 1)), HttpReplyReader::Progress::More);
    EXPECT_EQ(reader.Feed("\n\r\n"), HttpReplyReader::Progress::More);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
}

}  // namespace
