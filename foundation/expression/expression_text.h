#pragma once
// A text evaluated again and again, as a script step's attribute is: it
// never changes once made and carries a number that no other text made in
// this process carries, so an evaluator knows the text it evaluated last by
// that number instead of comparing every character. A copy is the same text
// and keeps the number; assigning another text takes that text's number.
// The empty text made by default has no number and is compared as any text.
// Numbers are drawn from one counter, so texts may be made on any thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

class ExpressionText {
public:
    ExpressionText() = default;
    // Explicit, so that a call given a plain text never makes one of these
    // on the way; a literal may stand for one (tables of steps).
    explicit ExpressionText(std::wstring text);
    explicit ExpressionText(std::wstring_view text) : ExpressionText(std::wstring(text)) {}
    ExpressionText(const wchar_t* text) : ExpressionText(std::wstring(text ? text : L"")) {}
    ExpressionText(const ExpressionText&) = default;
    ExpressionText& operator=(const ExpressionText&) = default;
    // The text moved from is left empty, without a number.
    ExpressionText(ExpressionText&& o) noexcept : text_(std::move(o.text_)), serial_(o.serial_) { o.Clear(); }
    ExpressionText& operator=(ExpressionText&& o) noexcept {
        if (this != &o) {
            text_ = std::move(o.text_);
            serial_ = o.serial_;
            o.Clear();
        }
        return *this;
    }
    ExpressionText& operator=(std::wstring text) { return *this = ExpressionText(std::move(text)); }
    ~ExpressionText() = default;

    const std::wstring& str() const { return text_; }
    // Read wherever a plain text is.
    operator const std::wstring&() const { return text_; }
    operator std::wstring_view() const { return text_; }
    bool empty() const { return text_.empty(); }
    size_t size() const { return text_.size(); }
    const wchar_t* c_str() const { return text_.c_str(); }
    // 0 for the empty text made by default.
    uint64_t Serial() const { return serial_; }

    friend bool operator==(const ExpressionText& a, std::wstring_view b) { return std::wstring_view(a.text_) == b; }

private:
    void Clear() {
        text_.clear();
        serial_ = 0;
    }

    std::wstring text_;
    uint64_t serial_ = 0;
};
