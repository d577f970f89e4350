#pragma once
// The character source under every data-file reader (XML and font
// descriptors). It opens a file through the pack layer (a loose file first,
// then main.pak), picks a decoder from the byte-order mark (UTF-8, UTF-16 in
// either byte order; without one, one byte per character), hands out one
// character at a time, counts lines and keeps the text of the last failure.
//
// Characters are whole code points: a four-byte UTF-8 sequence or a UTF-16
// surrogate pair arrives as one wchar_t. Invalid input is "Illegal Character",
// never a crash. One reader belongs to one thread at a time.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EncodingParser {
public:
    EncodingParser();
    virtual ~EncodingParser();
    EncodingParser(const EncodingParser&) = delete;
    EncodingParser& operator=(const EncodingParser&) = delete;

    // False (and the error "Unable to open file <path>", line 0) when missing.
    bool OpenFile(const std::string& path);
    // Starts reading afresh: line 1, no failure, nothing pushed back.
    virtual void Reset();

    // False at the end of input or on an illegal sequence (then HasFailed).
    bool GetChar(wchar_t& out) {
        // Most characters are one plain byte of the block: no call for them.
        if (cur_ != lim_ && *cur_ < singleByteLimit_ && pushBack_.empty() && unread_.empty()) {
            out = static_cast<wchar_t>(*cur_++);
            if (out == L'\n') ++line_;
            return true;
        }
        return GetCharSlow(out);
    }
    // The next GetChar delivers `c` again; pushed characters come back last-in first-out.
    void PushBack(wchar_t c) { pushBack_.push_back(c); }

    void Fail(const std::wstring& text);
    bool HasFailed() const { return failed_; }
    std::wstring GetErrorText() const { return errorText_; }
    int GetCurrentLine() const { return line_; }
    std::string GetFileName() const { return fileName_; }

protected:
    // Closes the open file, if any, and drops what was pushed back.
    void CloseFile();

    // Appends to `out` the run of bytes ahead that are whole characters and
    // marked in `plain` (which must leave out '\n'), and reads past them.
    void TakePlainRun(std::wstring& out, const bool (&plain)[256]) {
        if (!pushBack_.empty() || !unread_.empty()) return;
        const unsigned char* p = cur_;
        while (p != lim_ && *p < singleByteLimit_ && plain[*p]) ++p;
        // Widened straight into the string: append(first, last) from bytes
        // builds a temporary wide string first, an allocation per run.
        const size_t old = out.size();
        out.resize(old + static_cast<size_t>(p - cur_));
        std::copy(cur_, p, out.begin() + static_cast<std::ptrdiff_t>(old));
        cur_ = p;
    }

    // Reads past the run of ' ', '\t', '\r' and '\n' bytes ahead, counting lines.
    void SkipTagSpaces() {
        if (!pushBack_.empty() || !unread_.empty() || singleByteLimit_ == 0) return;
        const unsigned char* p = cur_;
        for (; p != lim_; ++p) {
            if (*p == '\n')
                ++line_;
            else if (*p != ' ' && *p != '\t' && *p != '\r')
                break;
        }
        cur_ = p;
    }

    bool keepDecoder_ = false;

private:
    enum class Decoder { Ansi, Utf8, Utf16 };
    enum class Result { Ok, End, Illegal };

    bool GetCharSlow(wchar_t& out);
    bool ReadByte(unsigned char& b);
    void UseDecoder(Decoder decoder);
    Result ReadCharAnsi(wchar_t& out);
    Result ReadCharUtf8(wchar_t& out);
    Result ReadCharUtf16(wchar_t& out);
    Result ReadUnit16(uint32_t& unit);
    void DetectEncoding();

    std::string fileName_;
    std::wstring errorText_;
    bool failed_ = false;
    int line_ = 1;
    struct Source;
    std::unique_ptr<Source> file_;
    std::vector<wchar_t> pushBack_;
    std::vector<unsigned char> unread_;  // bytes encoding detection gave back, last first
    // The part of the file's block buffer not read yet.
    const unsigned char* cur_ = nullptr;
    const unsigned char* lim_ = nullptr;
    // Bytes below this are one character each in the current decoder.
    unsigned singleByteLimit_ = 0x80;
    Decoder decoder_ = Decoder::Utf8;
    bool firstChar_ = true;
    bool byteSwap_ = false;
};
