#pragma once
// The loader of properties/constants.xml. Each "define" element's attributes
// are evaluated in name order (the attribute map is ordered by name, not by
// position) against ConstantsMap itself, so a constant may use those defined
// before it. Constructing a Constants loads the file; the values stay in
// ConstantsMap after the object is gone. Loading again (the debug reload)
// overwrites the names in the file and keeps every other entry.
// Runs on the loading thread before the main thread reads constants.

#include <string>

#include "foundation/expression/expression.h"
#include "foundation/files/parser.h"

class Constants : public Parser {
public:
    Constants();
    void ElementStart(const std::wstring& name) override;

private:
    ExpressionEvaluator evaluator_;
};

// Small numeric and text helpers of the script words.
float PowFloat(float x, float y);
float CosFloat(float radians);
float SinFloat(float radians);
// Every occurrence of `find` replaced; the inserted text is never searched again.
std::wstring StringReplaceAll(std::wstring text, const std::wstring& find, const std::wstring& replacement);
