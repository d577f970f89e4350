#include "foundation/files/encoding_parser.h"

#include "foundation/files/data_file.h"
#include "foundation/system/text.h"

struct EncodingParser::Source {
    DataFile file;
};

EncodingParser::EncodingParser() = default;

EncodingParser::~EncodingParser() { CloseFile(); }

void EncodingParser::CloseFile() {
    file_.reset();
    pushBack_.clear();
    unread_.clear();
    cur_ = lim_ = nullptr;
}

void EncodingParser::UseDecoder(Decoder decoder) {
    decoder_ = decoder;
    // UTF-16 has no one-byte characters; UTF-8 has them below 0x80, where the
    // mark that is skipped at the start never lies.
    singleByteLimit_ = decoder == Decoder::Ansi ? 0x100 : decoder == Decoder::Utf8 ? 0x80 : 0;
}

bool EncodingParser::OpenFile(const std::string& path) {
    CloseFile();
    auto source = std::make_unique<Source>();
    if (!source->file.Open(path)) {
        line_ = 0;
        Fail(L"Unable to open file " + text::Widen(path));
        return false;
    }
    file_ = std::move(source);
    if (!keepDecoder_) DetectEncoding();
    fileName_ = path;
    Reset();
    return true;
}

void EncodingParser::Reset() {
    // Characters pushed back belong to the input they were read from: left
    // over from a failed load, they would run as the next input's start.
    pushBack_.clear();
    line_ = 1;
    failed_ = false;
    errorText_.clear();
    firstChar_ = true;
    byteSwap_ = false;
}

void EncodingParser::DetectEncoding() {
    Decoder found = Decoder::Ansi;
    long size = file_->file.Size();
    auto peek = [this](size_t n, std::vector<unsigned char>& bytes) {
        bytes.clear();
        unsigned char b;
        while (bytes.size() < n && ReadByte(b)) bytes.push_back(b);
        // Give them back in reverse so they are read again in order.
        for (size_t i = bytes.size(); i-- > 0;) unread_.push_back(bytes[i]);
        return bytes.size() == n;
    };
    std::vector<unsigned char> head;
    if (size >= 2 && peek(2, head)) {
        if ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)) found = Decoder::Utf16;
    }
    if (found == Decoder::Ansi && size >= 3 && peek(3, head)) {
        if (head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) found = Decoder::Utf8;
    }
    UseDecoder(found);
}

bool EncodingParser::ReadByte(unsigned char& b) {
    if (!file_) return false;
    if (!unread_.empty()) {
        b = unread_.back();
        unread_.pop_back();
        return true;
    }
    if (cur_ == lim_ && !file_->file.NextBlock(cur_, lim_)) return false;
    b = *cur_++;
    return true;
}

void EncodingParser::Fail(const std::wstring& message) {
    failed_ = true;
    errorText_ = message;
}

bool EncodingParser::GetCharSlow(wchar_t& out) {
    if (!pushBack_.empty()) {
        out = pushBack_.back();
        pushBack_.pop_back();
    } else {
        if (!file_) return false;
        Result r = Result::End;
        switch (decoder_) {
            case Decoder::Ansi: r = ReadCharAnsi(out); break;
            case Decoder::Utf8: r = ReadCharUtf8(out); break;
            case Decoder::Utf16: r = ReadCharUtf16(out); break;
        }
        if (r == Result::Illegal) {
            Fail(L"Illegal Character");
            return false;
        }
        if (r == Result::End) return false;
    }
    if (out == L'\n') ++line_;
    return true;
}

EncodingParser::Result EncodingParser::ReadCharAnsi(wchar_t& out) {
    unsigned char b;
    if (!ReadByte(b)) return Result::End;
    out = static_cast<wchar_t>(b);
    return Result::Ok;
}

EncodingParser::Result EncodingParser::ReadUnit16(uint32_t& unit) {
    unsigned char lo, hi;
    if (!ReadByte(lo)) return Result::End;
    // Half a unit at the end is no character: the input ends there, as a
    // read of whole units would.
    if (!ReadByte(hi)) return Result::End;
    unit = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 8);
    if (byteSwap_) unit = ((unit & 0xFF) << 8) | (unit >> 8);

    return Result::Ok;
}

EncodingParser::Result EncodingParser::ReadCharUtf16(wchar_t& out) {
    for (;;) {
        uint32_t unit;
        Result r = ReadUnit16(unit);
        if (r != Result::Ok) return r;
        if (firstChar_) {
            firstChar_ = false;
            if (unit == 0xFEFF) continue;
            if (unit == 0xFFFE) {
                byteSwap_ = true;
                continue;
            }
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) return Result::Illegal;  // a low half with no high half
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            uint32_t low;
            if (ReadUnit16(low) != Result::Ok || low < 0xDC00 || low > 0xDFFF) return Result::Illegal;
            out = static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            return Result::Ok;
        }
        out = static_cast<wchar_t>(unit);
        return Result::Ok;
    }
}

EncodingParser::Result EncodingParser::ReadCharUtf8(wchar_t& out) {
    for (;;) {
        unsigned char lead;
        if (!ReadByte(lead)) return Result::End;
        if (lead < 0x80) {
            out = static_cast<wchar_t>(lead);
            return Result::Ok;
        }
        if ((lead & 0xC0) != 0xC0) return Result::Illegal;
        int length;
        uint32_t value;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            return Result::Illegal;  // five- and six-byte forms lie beyond U+10FFFF
        }
        unsigned char second = 0;
        for (int i = 1; i < length; ++i) {
            unsigned char b;
            if (!ReadByte(b) || (b & 0xC0) != 0x80) return Result::Illegal;
            if (i == 1) second = b;
            value = (value << 6) | (b & 0x3F);
        }
        bool overlong = (length == 2 && (lead & 0x1E) == 0) ||
                        (length == 3 && (lead & 0x0F) == 0 && (second & 0x20) == 0) ||
                        (length == 4 && (lead & 0x07) == 0 && (second & 0x30) == 0);
        if (overlong) return Result::Illegal;
        if ((value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF || value > 0x10FFFF) {
            return Result::Illegal;
        }
        if (value == 0xFEFF && firstChar_) {
            firstChar_ = false;
            continue;
        }
        firstChar_ = false;
        out = static_cast<wchar_t>(value);
        return Result::Ok;
    }
}
