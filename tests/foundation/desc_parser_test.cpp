#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/files/desc_parser.h"
#include "foundation/files/pak_interface.h"
#include "foundation/system/text.h"
#include "test_support.h"
#include "tests/foundation/pak_test_support.h"

using namespace testsupport;

namespace {

// Records every command as text; "Define name value" stores a define (a
// list dereferenced), "Raw name value" stores one as written and "Refuse"
// fails, as a font descriptor's handler would.
class RecordingParser : public DescParser {
public:
    std::vector<std::wstring> commands;
    std::vector<int> lines;

    bool HandleCommand(ListDataElement& params) override {
        commands.push_back(DataElementToText(params));
        lines.push_back(GetCurrentLine());
        std::wstring word = static_cast<const SingleDataElement&>(*params.elements[0]).text;
        if (word == L"Raw" && params.elements.size() == 3) {
            AddDefine(static_cast<const SingleDataElement&>(*params.elements[1]).text, std::move(params.elements[2]));
            return true;
        }
        if (word == L"Define" && params.elements.size() == 3) {
            // Lists are stored dereferenced, scalars as written.
            std::unique_ptr<DataElement> value = std::move(params.elements[2]);
            if (value->IsList()) {
                auto list = std::make_unique<ListDataElement>();
                if (!DataToList(*value, *list)) return false;
                value = std::move(list);
            }
            AddDefine(static_cast<const SingleDataElement&>(*params.elements[1]).text, std::move(value));
            return true;
        }
        return word != L"Refuse";
    }

    // Tokenises one line on its own, as the loader does per command.
    std::wstring Tokens(const std::wstring& line) {
        ListDataElement list;
        size_t position = 0;
        if (!TokenizeLine(line, list, false, position)) return L"error: " + GetErrorText();
        return DataElementToText(list);
    }
};

const SingleDataElement& Scalar(const DataElement& element) {
    EXPECT_FALSE(element.IsList());
    return static_cast<const SingleDataElement&>(element);
}
const ListDataElement& List(const DataElement& element) {
    EXPECT_TRUE(element.IsList());
    return static_cast<const ListDataElement&>(element);
}

TEST(DescParserTest, CommentsBlankLinesAndBareSemicolonsRunNothing) {
    RecordingParser parser;
    EXPECT_TRUE(parser.LoadDescriptorText(L"# heading\n\n   \t\n;;\n  # indented comment; not a command\n;\n"));
    EXPECT_TRUE(parser.commands.empty());
    EXPECT_FALSE(parser.HasFailed());
}

TEST(DescParserTest, CommandsSplitAtSemicolonsAndSpanLines) {
    RecordingParser parser;
    ASSERT_TRUE(parser.LoadDescriptorText(L"A 1; B 2;\r\nLong 1,\r\n  2,\r\n  3;\nLast x"));
    ASSERT_EQ(parser.commands.size(), 4u);
    EXPECT_EQ(parser.commands[0], L"(A, 1)");
    EXPECT_EQ(parser.commands[1], L"(B, 2)");
    EXPECT_EQ(parser.commands[2], L"(Long, 1, 2, 3)");
    EXPECT_EQ(parser.commands[3], L"(Last, x)");  // the end of input ends the last command
    EXPECT_EQ(parser.lines[2], 4);
}

TEST(DescParserTest, QuotedSemicolonsHashesAndEscapesStayInTheCommand) {
    RecordingParser parser;
    ASSERT_TRUE(parser.LoadDescriptorText(L"Say 'a;b' \"c # d\" 'e\\'f';\nSay x#y;"));
    ASSERT_EQ(parser.commands.size(), 2u);
    // The escaped quote neither ends the string nor keeps its backslash.
    EXPECT_EQ(parser.commands[0], L"(Say, 'a;b', \"c # d\", 'e'f')");
    EXPECT_EQ(parser.commands[1], L"(Say, x#y)");  // '#' only starts a comment at the start of a line
}

TEST(DescParserTest, CommentAfterSemicolonIsDropped) {
    RecordingParser parser;
    ASSERT_TRUE(parser.LoadDescriptorText(L"One 1; # trailing note; still note\nTwo 2"));
    ASSERT_EQ(parser.commands.size(), 2u);
    EXPECT_EQ(parser.commands[1], L"(Two, 2)");
}

TEST(DescParserTest, TokenisesWordsNumbersListsAndQuotedStrings) {
    RecordingParser parser;
    ListDataElement list;
    size_t position = 0;
    ASSERT_TRUE(parser.TokenizeLine(L"Cmd 1, 2 (3 4) 'a b'", list, false, position));
    ASSERT_EQ(list.elements.size(), 5u);
    EXPECT_EQ(Scalar(*list.elements[0]).text, L"Cmd");
    EXPECT_EQ(Scalar(*list.elements[1]).text, L"1");
    EXPECT_EQ(Scalar(*list.elements[2]).text, L"2");
    const ListDataElement& inner = List(*list.elements[3]);
    ASSERT_EQ(inner.elements.size(), 2u);
    EXPECT_EQ(Scalar(*inner.elements[0]).text, L"3");
    EXPECT_EQ(Scalar(*inner.elements[1]).text, L"4");
    EXPECT_EQ(Scalar(*list.elements[4]).text, L"'a b'");

    EXPECT_EQ(parser.Tokens(L"F ((1 2) (3)) () x"), L"(F, ((1, 2), (3)), (), x)");
    EXPECT_EQ(parser.Tokens(L"F a\\ b \\(c\\)"), L"(F, a b, (c))");
    EXPECT_EQ(parser.Tokens(L"F \"it's\" 'say \"hi\"'"), L"(F, \"it's\", 'say \"hi\"')");
    EXPECT_EQ(parser.Tokens(L"F (1)(2)"), L"(F, (1), (2))");
    EXPECT_EQ(parser.Tokens(L"F 'a'b"), L"(F, 'a'b)");
}

struct TokenError {
    const wchar_t* line;
    const wchar_t* error;
};

class TokenErrorTest : public testing::TestWithParam<TokenError> {};

TEST_P(TokenErrorTest, FailsWithItsMessage) {
    RecordingParser parser;
    EXPECT_EQ(parser.Tokens(GetParam().line), std::wstring(L"error: ") + GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(DescParserTest, TokenErrorTest,
                         testing::Values(TokenError{L"Cmd (1 (2 3)", L"Unterminated List"},
                                         TokenError{L"Cmd 1)", L"Unexpected List End"},
                                         TokenError{L"Cmd a(1)", L"Unexpected List Start"},
                                         TokenError{L"Cmd 'a'(1)", L"Unexpected List Start"},
                                         TokenError{L"Cmd 'open", L"Unterminated Single Quotes"},
                                         TokenError{L"Cmd \"open", L"Unterminated Double Quotes"},
                                         TokenError{L"Cmd ('open)", L"Unterminated Single Quotes"},
                                         TokenError{L"Cmd \"it's", L"Unterminated Double Quotes"}));

TEST(DescParserTest, ListFirstIsMissingCommand) {
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadDescriptorText(L"(1 2) Cmd"));
    EXPECT_EQ(parser.GetErrorText(), L"Missing Command");
    EXPECT_TRUE(parser.commands.empty());
}

TEST(DescParserTest, ErrorsCarryTheirLineAndStopLoadingKeepingEarlierDefines) {
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadDescriptorText(L"Define Size 12;\n# note\nCmd (1\n 2;\nNever 1;"));
    EXPECT_EQ(parser.GetErrorText(), L"Unterminated List");
    EXPECT_EQ(parser.GetCurrentLine(), 4);
    ASSERT_EQ(parser.commands.size(), 1u);
    ASSERT_NE(parser.FindDefine(L"size"), nullptr);

    RecordingParser refusing;
    EXPECT_FALSE(refusing.LoadDescriptorText(L"A;\nRefuse;\nB;"));
    EXPECT_EQ(refusing.commands.size(), 2u);
}

TEST(DescParserTest, HostileNestingFailsInsteadOfExhaustingTheStack) {
    RecordingParser parser;
    std::wstring deep = L"Cmd " + std::wstring(200000, L'(') + std::wstring(200000, L')');
    EXPECT_FALSE(parser.LoadDescriptorText(deep));
    EXPECT_TRUE(parser.HasFailed());
    RecordingParser fine;
    EXPECT_TRUE(fine.LoadDescriptorText(L"Cmd " + std::wstring(50, L'(') + std::wstring(50, L')')));
}

TEST(DescParserTest, DefinesBuiltFromDefinesCannotGrowWithoutBound) {
    auto chain = [](const wchar_t* name, int lines, bool twice) {
        std::wstring text = std::wstring(L"Define ") + name + L"0 (1 2);\n";
        for (int i = 1; i <= lines; ++i) {
            std::wstring previous = name + std::to_wstring(i - 1);
            text +=
                L"Define " + (name + std::to_wstring(i)) + L" (" + previous + (twice ? L" " + previous : L"") + L");\n";
        }
        return text;
    };
    // Each define holds the previous one twice: the size doubles with every line.
    RecordingParser doubling;
    EXPECT_FALSE(doubling.LoadDescriptorText(chain(L"D", 18, true)));
    EXPECT_EQ(doubling.GetErrorText(), L"List Too Long");
    // Each define wraps the previous one: the depth grows by one with every line.
    RecordingParser wrapping;
    EXPECT_FALSE(wrapping.LoadDescriptorText(chain(L"W", 300, false)));
    EXPECT_EQ(wrapping.GetErrorText(), L"Lists Nested Too Deeply");
    // Modest reuse stays fine.
    RecordingParser fine;
    EXPECT_TRUE(fine.LoadDescriptorText(chain(L"F", 10, true) + chain(L"G", 100, false)));
}

TEST(DescParserTest, UnquotingKeepsDoubledQuotesAsOne) {
    EXPECT_EQ(DescParser::Unquote(L"'it''s'"), L"it's");
    EXPECT_EQ(DescParser::Unquote(L"\"say \"\"hi\"\"\""), L"say \"hi\"");
    EXPECT_EQ(DescParser::Unquote(L"'a \"b\"'"), L"a \"b\"");
    EXPECT_EQ(DescParser::Unquote(L"plain"), L"plain");
    EXPECT_EQ(DescParser::Unquote(L"12"), L"12");
    EXPECT_EQ(DescParser::Unquote(L""), L"");
}

TEST(DescParserTest, EmptyQuotedStringUnquotesToEmptyNotAQuote) {
    EXPECT_EQ(DescParser::Unquote(L"''"), L"");
    EXPECT_EQ(DescParser::Unquote(L"\"\""), L"");
    EXPECT_EQ(DescParser::Unquote(L"''''"), L"'");
}

TEST(DescParserTest, ImmediateTokensAreNumbersAndQuotedStrings) {
    for (const wchar_t* token : {L"0", L"9x", L"-1", L"+2", L"'s'", L"\"s\""})
        EXPECT_TRUE(DescParser::IsImmediate(token)) << token;
    for (const wchar_t* token : {L"", L"name", L".5", L"_x", L"(1)"})
        EXPECT_FALSE(DescParser::IsImmediate(token)) << token;
}

// A parser with defines: Size = 12, Name = 'Sans Bold', Pair = (1 'two')
// stored as written, and Nested = (Pair 3) stored dereferenced.
class DefinesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parser_.LoadDescriptorText(
            L"Define Size 12;\nDefine Name 'Sans Bold';\nRaw Pair (1 'two');\nDefine Nested (Pair 3);"))
            << parser_.GetErrorText();
    }

    std::unique_ptr<DataElement> Parse(const std::wstring& value) {
        ListDataElement list;
        size_t position = 0;
        EXPECT_TRUE(parser_.TokenizeLine(value, list, false, position));
        EXPECT_EQ(list.elements.size(), 1u);
        return list.elements.empty() ? std::make_unique<SingleDataElement>() : std::move(list.elements[0]);
    }

    RecordingParser parser_;
};

TEST_F(DefinesTest, DefinesAreFoundWhateverTheCase) {
    ASSERT_NE(parser_.FindDefine(L"size"), nullptr);
    EXPECT_EQ(parser_.FindDefine(L"SIZE"), parser_.FindDefine(L"Size"));
    EXPECT_EQ(parser_.FindDefine(L"missing"), nullptr);
    EXPECT_EQ(DescParser::DataElementToText(*parser_.FindDefine(L"nested")), L"((1, 'two'), 3)");
}

TEST_F(DefinesTest, DataToStringResolvesDefinesAndQuotes) {
    std::wstring out = L"stale";
    EXPECT_TRUE(parser_.DataToString(*Parse(L"'hello world'"), out));
    EXPECT_EQ(out, L"hello world");
    EXPECT_TRUE(parser_.DataToString(*Parse(L"name"), out));
    EXPECT_EQ(out, L"Sans Bold");
    EXPECT_TRUE(parser_.DataToString(*Parse(L"Size"), out));
    EXPECT_EQ(out, L"12");
    EXPECT_TRUE(parser_.DataToString(*Parse(L"unknown"), out));  // a bare word stands for itself
    EXPECT_EQ(out, L"unknown");
    EXPECT_FALSE(parser_.DataToString(*Parse(L"Pair"), out));
    EXPECT_EQ(out, L"");
    EXPECT_FALSE(parser_.DataToString(*Parse(L"(1 2)"), out));
    EXPECT_EQ(out, L"");
}

TEST_F(DefinesTest, DereferencingCopiesDefinesNestedAsWritten) {
    ListDataElement out;
    ASSERT_TRUE(parser_.DataToList(*Parse(L"(Size Name 'x''y' -4 Pair (Nested))"), out));
    EXPECT_EQ(DescParser::DataElementToText(out), L"(12, 'Sans Bold', x'y, -4, (1, 'two'), (((1, 'two'), 3)))");

    // A define holding a list is copied as stored, without dereferencing.
    ASSERT_TRUE(parser_.DataToList(*Parse(L"nested"), out));
    EXPECT_EQ(DescParser::DataElementToText(out), L"((1, 'two'), 3)");
    EXPECT_FALSE(parser_.DataToList(*Parse(L"Size"), out));
    EXPECT_FALSE(parser_.DataToList(*Parse(L"nothing"), out));
}

TEST_F(DefinesTest, UnknownNameInAListFailsToDereference) {
    ListDataElement out;
    EXPECT_FALSE(parser_.DataToList(*Parse(L"(1 Ghost 2)"), out));
    EXPECT_EQ(parser_.GetErrorText(), L"Unable to Dereference \"Ghost\"");
}

TEST_F(DefinesTest, StringVectorsTakeScalarsOnly) {
    std::vector<std::wstring> out;
    ASSERT_TRUE(parser_.DataToStringVector(*Parse(L"('a' 'b c' Size \"\" -1)"), out));
    EXPECT_EQ(out, (std::vector<std::wstring>{L"a", L"b c", L"12", L"", L"-1"}));
    ASSERT_TRUE(parser_.DataToStringVector(*Parse(L"pair"), out));
    EXPECT_EQ(out, (std::vector<std::wstring>{L"1", L"'two'"}));  // used as stored: quotes stay
    EXPECT_FALSE(parser_.DataToStringVector(*Parse(L"(1 (2))"), out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(parser_.DataToStringVector(*Parse(L"Nested"), out));
    EXPECT_FALSE(parser_.DataToStringVector(*Parse(L"Size"), out));
    EXPECT_FALSE(parser_.DataToStringVector(*Parse(L"Nowhere"), out));
    EXPECT_EQ(parser_.GetErrorText(), L"Unable to Dereference \"Nowhere\"");
}

TEST_F(DefinesTest, FloatVectorsAcceptPlainDecimalsOnly) {
    std::vector<float> out;
    ASSERT_TRUE(parser_.DataToFloatVector(*Parse(L"(1.5 -2 0.25 Size '.5' '3')"), out));
    EXPECT_EQ(out, (std::vector<float>{1.5f, -2.0f, 0.25f, 12.0f, 0.5f, 3.0f}));
    for (const wchar_t* bad : {L"(1e3)", L"(1.5f)", L"(+1)", L"(1 x)", L"('')", L"('1 ')"}) {
        EXPECT_FALSE(parser_.DataToFloatVector(*Parse(bad), out)) << bad;
        EXPECT_TRUE(out.empty());
    }
}

TEST(DescParserFileTest, ReadsFilesInEveryEncodingAndReportsMissingOnes) {
    TempFolder folder;
    const std::wstring body = L"Define Caf\u00e9 'cr\u00e8me';\nUse Caf\u00e9;";
    std::string utf16be;
    for (char16_t unit : std::u16string(u"\uFEFF")) {
        utf16be += static_cast<char>(unit >> 8);
        utf16be += static_cast<char>(unit & 0xFF);
    }
    std::string le = text::ToUtf16LE(body);
    for (size_t i = 0; i + 1 < le.size(); i += 2) {
        utf16be += le[i + 1];
        utf16be += le[i];
    }
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"utf8.txt", "\xEF\xBB\xBF" + text::ToUtf8(body)},
        {"utf16le.txt", "\xFF\xFE" + le},
        {"utf16be.txt", utf16be},
        {"latin1.txt", "Define Caf\xE9 'cr\xE8me';\nUse Caf\xE9;"},
    };
    for (const Case& c : cases) {
        WriteBytes((folder / c.name), c.bytes);
        RecordingParser parser;
        ASSERT_TRUE(parser.LoadDescriptor(folder / c.name)) << c.name;
        EXPECT_EQ(parser.GetFileName(), (folder / c.name));
        ASSERT_EQ(parser.commands.size(), 2u) << c.name;
        EXPECT_EQ(parser.commands[1], L"(Use, Caf\u00e9)") << c.name;
        std::wstring value;
        EXPECT_TRUE(parser.DataToString(SingleDataElement(L"Caf\u00e9"), value));
        EXPECT_EQ(value, L"cr\u00e8me") << c.name;
    }

    RecordingParser missing;
    EXPECT_FALSE(missing.LoadDescriptor(folder / "absent.txt"));
    EXPECT_EQ(missing.GetErrorText(), L"Unable to open file " + text::Widen(folder / "absent.txt"));
    EXPECT_EQ(missing.GetCurrentLine(), 0);
}

TEST(DescParserFileTest, IllegalCharacterStopsLoadingInsteadOfPassingAsTheEnd) {
    TempFolder folder;
    WriteBytes(folder / "bad.txt",
               "\xEF\xBB\xBF"
               "First 1;\nSecond a\xC0\x80"
               "b;\nThird 3;");
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadDescriptor(folder / "bad.txt"));
    EXPECT_EQ(parser.GetErrorText(), L"Illegal Character");
    EXPECT_EQ(parser.GetCurrentLine(), 2);
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"(First, 1)"}));
}

TEST(DescParserFileTest, TextLeftByAFailedLoadDoesNotRunInTheNextLoad) {
    TempFolder folder;
    WriteBytes(folder / "next.txt", "Next 3;");
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadDescriptorText(L"First 1;\nRefuse;\nLeft 2;\n"));
    parser.commands.clear();
    EXPECT_TRUE(parser.LoadDescriptor(folder / "next.txt"));
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"(Next, 3)"}));

    // The other way round: the rest of a file that failed is not read after new text.
    WriteBytes(folder / "failing.txt", "Refuse;\nTail 9;");
    EXPECT_FALSE(parser.LoadDescriptor(folder / "failing.txt"));
    parser.commands.clear();
    EXPECT_TRUE(parser.LoadDescriptorText(L"Text 1;"));
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"(Text, 1)"}));
}

TEST(DescParserFileTest, ReadsPackedDescriptorsByDataPathWithLooseFilesWinning) {
    TempFolder folder;
    testsupport::CurrentDirectoryGuard cwd(folder.Path());
    testsupport::RawPack pack{
        {{"fonts\\Body.txt", "# packed\r\nLayer 'packed';\r\nSize 1 2"}, {"fonts\\Shadow.txt", "Layer 'packed';"}}};
    WriteBytes(folder / "main.pak", testsupport::Encode(pack));
    WriteBytes(folder / "fonts/Shadow.txt", "Layer 'loose';");
    PakInterface pak;
    pak.Mount("main.pak");

    RecordingParser packed;
    ASSERT_TRUE(packed.LoadDescriptor("fonts\\body.txt")) << packed.GetErrorText();
    EXPECT_EQ(packed.commands, (std::vector<std::wstring>{L"(Layer, 'packed')", L"(Size, 1, 2)"}));

    RecordingParser loose;
    ASSERT_TRUE(loose.LoadDescriptor("fonts\\Shadow.txt"));
    EXPECT_EQ(loose.commands, (std::vector<std::wstring>{L"(Layer, 'loose')"}));
}

}  // namespace
