#include "foundation/expression/expression_text.h"

#include <atomic>
#include <utility>

namespace {

uint64_t NextSerial() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

ExpressionText::ExpressionText(std::wstring text) : text_(std::move(text)), serial_(NextSerial()) {}
