// The crash upload's reply reader: the input is a server's reply, split into
// pieces at sizes its first byte chooses. Whatever the split, the reader
// must reach the same end with the same body, and never hold a body over the
// limit it was given; a difference stops the run.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/crash/http_reply.h"

namespace {

constexpr size_t kLimit = 4096;

struct Read {
    HttpReplyReader::Progress progress = HttpReplyReader::Progress::More;
    std::string body;
};

Read Feed(std::string_view reply, size_t piece) {
    HttpReplyReader reader(kLimit);
    Read read;
    for (size_t at = 0; at < reply.size() && read.progress == HttpReplyReader::Progress::More; at += piece)
        read.progress = reader.Feed(reply.substr(at, piece));
    read.body = reader.Body();
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = 1 + data[0] % 16;
    const std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);
    const Read whole = Feed(reply, reply.size() + 1);
    const Read split = Feed(reply, piece);
    if (whole.progress != split.progress || whole.body != split.body || whole.body.size() > kLimit) {
        std::fprintf(stderr, "halvaro fuzz: the reply read differently in pieces of %zu\n", piece);
        std::abort();
    }
    return 0;
}
