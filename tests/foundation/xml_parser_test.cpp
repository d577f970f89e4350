#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/files/parser.h"
#include "foundation/files/xml_parser.h"

namespace {

namespace fs = std::filesystem;

class XmlFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("halvaro_xml_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& bytes, const std::string& name = "doc.xml") {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    // Reads every node, rendering each as a short line; the error text ends the list.
    std::vector<std::wstring> Nodes(const std::string& bytes) {
        XMLParser reader;
        std::vector<std::wstring> out;
        if (!reader.OpenFile(Write(bytes))) return {L"open failed"};
        XMLElement e;
        while (reader.NextElement(e)) {
            std::wstring line;
            switch (e.kind) {
                case XMLElement::kStart: line = L"<" + e.name; break;
                case XMLElement::kEnd: line = L"</" + e.name; break;
                case XMLElement::kText: line = L"'" + e.name + L"'"; break;
                case XMLElement::kInstruction: line = L"?" + e.name + L"|" + e.value; break;
            }
            for (const auto& key : e.attributeOrder) line += L" " + key + L"=" + e.attributes[key];
            out.push_back(line);
        }
        if (reader.HasFailed()) {
            out.push_back(L"error: " + reader.GetErrorText() + L" @" + std::to_wstring(reader.GetCurrentLine()));
        }
        return out;
    }

    fs::path dir_;
};

using Lines = std::vector<std::wstring>;

TEST_F(XmlFiles, AttributesQuotedBareAndEmpty) {
    EXPECT_EQ(Nodes("<a b=\"1\" c=2 d></a>"), (Lines{L"<a b=1 c=2 d=", L"</a"}));
    EXPECT_EQ(Nodes("<a b = \"x y\"></a>"), (Lines{L"<a b=x y", L"</a"}));
    EXPECT_EQ(Nodes("<a q=\"\" r=\"<>/=?\"></a>"), (Lines{L"<a q= r=<>/=?", L"</a"}));
}

TEST_F(XmlFiles, AttributeMapIsOrderedByNameAndRepeatsKeepTheLast) {
    XMLParser reader;
    ASSERT_TRUE(reader.OpenFile(Write("<a z=\"1\" b=\"2\" z=\"3\"/>")));
    XMLElement e;
    ASSERT_TRUE(reader.NextElement(e));
    ASSERT_EQ(e.attributes.size(), 2u);
    EXPECT_EQ(e.attributes.begin()->first, L"b");
    EXPECT_EQ(e.attributes[L"z"], L"3");
    EXPECT_EQ(e.attributeOrder, (Lines{L"z", L"b", L"z"}));
}

TEST_F(XmlFiles, SelfClosingSpellings) {
    EXPECT_EQ(Nodes("<a/>"), (Lines{L"<a", L"</a"}));
    EXPECT_EQ(Nodes("<a />"), (Lines{L"<a", L"</a"}));
    EXPECT_EQ(Nodes("<a x=\"1\" />"), (Lines{L"<a x=1", L"</a"}));
    EXPECT_EQ(Nodes("<a x=1/>"), (Lines{L"<a x=1", L"</a"}));
    EXPECT_EQ(Nodes("<a x=\"1/\">"), (Lines{L"<a x=1", L"</a"}));
}

TEST_F(XmlFiles, TextCollapsesWhiteSpaceAndDecodesEntities) {
    EXPECT_EQ(Nodes("<t>  two \n\t words  </t>"), (Lines{L"<t", L"'two words'", L"</t"}));
    EXPECT_EQ(Nodes("<t>&lt;b&gt;</t>"), (Lines{L"<t", L"'<b>'", L"</t"}));
    EXPECT_EQ(Nodes("<t>a&foo;b</t>"), (Lines{L"<t", L"'a&b'", L"</t"}));
    EXPECT_EQ(Nodes("<t>a & b</t>"), (Lines{L"<t", L"'a & b'", L"</t"}));
    EXPECT_EQ(Nodes("<t v=\"&quot;&amp;&apos;&nbsp;&cr;\"></t>"), (Lines{L"<t v=\"&' \n", L"</t"}));
}

TEST_F(XmlFiles, SectionPathsAroundNodes) {
    XMLParser reader;
    ASSERT_TRUE(reader.OpenFile(Write("<assets><images><img/></images></assets>")));
    XMLElement e;
    std::vector<std::wstring> sections;
    while (reader.NextElement(e)) sections.push_back(e.section);
    EXPECT_EQ(sections, (Lines{L"", L"assets", L"assets/images", L"assets/images/img", L"assets/images", L"assets"}));
}

TEST_F(XmlFiles, CommentsNeedWhiteSpaceAfterTheirOpening) {
    EXPECT_EQ(Nodes("<a><!-- note --></a>"), (Lines{L"<a", L"</a"}));
    Lines broken = Nodes("<a><!--note--></a>");
    ASSERT_EQ(broken.size(), 3u);
    EXPECT_EQ(broken[1], L"<!--note--");
    EXPECT_EQ(broken[2], L"error: End 'a' Doesn't Match Start '!--note--' @1");
}

TEST_F(XmlFiles, ProcessingInstructionKeepsItsText) {
    EXPECT_EQ(Nodes("<?xml version=\"1.0\"?><a/>"), (Lines{L"?xml| version=\"1.0\"", L"<a", L"</a"}));
}

TEST_F(XmlFiles, StructuralErrorsWithTheirLines) {
    EXPECT_EQ(Nodes("<x>\n</y>"), (Lines{L"<x", L"error: End 'y' Doesn't Match Start 'x' @2"}));
    EXPECT_EQ(Nodes("</y>"), (Lines{L"error: Unexpected End @1"}));
    EXPECT_EQ(Nodes("<a <b>"), (Lines{L"error: Unexpected '<' @1"}));
    EXPECT_EQ(Nodes("<t>a>b</t>"), (Lines{L"<t", L"'a>b'", L"</t"}));
    EXPECT_EQ(Nodes("<a>\x01</a>"), (Lines{L"<a", L"error: Illegal Character @1"}));
    EXPECT_EQ(Nodes("<a>tail"), (Lines{L"<a", L"error: Unexpected End of File @1"}));
}

TEST_F(XmlFiles, OpenElementsAtTheEndAreReportedNotLoadedAsComplete) {
    EXPECT_EQ(Nodes("<a><b></b>\n"), (Lines{L"<a", L"<b", L"</b", L"error: Unexpected End of File @2"}));
}

TEST_F(XmlFiles, ByteOrderMarksPickTheDecoder) {
    // UTF-8 with a mark: a two-byte letter and a four-byte one, each one character.
    EXPECT_EQ(Nodes("\xEF\xBB\xBF<a v=\"\xC3\xA9\xF0\x9F\x98\x80\"/>"), (Lines{L"<a v=\u00e9\U0001F600", L"</a"}));
    // No mark: one byte per character.
    EXPECT_EQ(Nodes("<a v=\"\xC3\xA9\"/>"), (Lines{L"<a v=\u00c3\u00a9", L"</a"}));
    // UTF-16 little- and big-endian, a surrogate pair combining into one character.
    std::string le("\xFF\xFE<\0a\0 \0v\0=\0\x3D\xD8\x00\xDE/\0>\0", 20);
    EXPECT_EQ(Nodes(le), (Lines{L"<a v=\U0001F600", L"</a"}));
    std::string be("\xFE\xFF\0<\0a\0/\0>", 10);
    EXPECT_EQ(Nodes(be), (Lines{L"<a", L"</a"}));
}

TEST_F(XmlFiles, IllegalUtf8) {
    const char* bad[] = {"\xEF\xBB\xBF\x80", "\xEF\xBB\xBF\xC0\x80", "\xEF\xBB\xBF\xED\xA0\x80",
                         "\xEF\xBB\xBF\xEF\xBF\xBF", "\xEF\xBB\xBF\xF8\x88\x80\x80\x80"};
    for (const char* bytes : bad) {
        EXPECT_EQ(Nodes(bytes), (Lines{L"error: Illegal Character @1"})) << bytes;
    }
    // Inside a tag the decode failure turns into the end-of-file error.
    EXPECT_EQ(Nodes("\xEF\xBB\xBF<a\xC3"), (Lines{L"error: Unexpected End of File @1"}));
    // A lone UTF-16 half is refused too.
    EXPECT_EQ(Nodes(std::string("\xFF\xFE\x00\xDC", 4)), (Lines{L"error: Illegal Character @1"}));
}

TEST_F(XmlFiles, Utf16FileWithAStrayTrailingByteEndsCleanly) {
    // Half a unit at the end is the end of the input, not an illegal character.
    std::string le("\xFF\xFE<\0a\0/\0>\0\n", 11);
    EXPECT_EQ(Nodes(le), (Lines{L"<a", L"</a"}));
    std::string be("\xFE\xFF\0<\0a\0/\0>\0", 11);
    EXPECT_EQ(Nodes(be), (Lines{L"<a", L"</a"}));
    // A high half cut off by the end still has no low half: that stays illegal.
    EXPECT_EQ(Nodes(std::string("\xFF\xFE<\0a\0/\0>\0\x3D\xD8\n", 13)),
              (Lines{L"<a", L"</a", L"error: Illegal Character @1"}));
}

TEST_F(XmlFiles, ReopeningDropsTheEndTagPushedBackFromTheLastFile) {
    XMLParser reader;
    XMLElement e;
    ASSERT_TRUE(reader.OpenFile(Write("<a/>", "first.xml")));
    ASSERT_TRUE(reader.NextElement(e));  // the start; its end tag waits, pushed back
    ASSERT_TRUE(reader.OpenFile(Write("<b></b>", "second.xml")));
    ASSERT_TRUE(reader.NextElement(e));
    EXPECT_EQ(e.kind, XMLElement::kStart);
    EXPECT_EQ(e.name, L"b");
    EXPECT_EQ(e.section, L"");
}

TEST_F(XmlFiles, MissingFileFailsToOpen) {
    XMLParser reader;
    EXPECT_FALSE(reader.OpenFile((dir_ / "nope.xml").string()));
    EXPECT_TRUE(reader.HasFailed());
    EXPECT_EQ(reader.GetCurrentLine(), 0);
    EXPECT_EQ(reader.GetErrorText().rfind(L"Unable to open file ", 0), 0u);
}

struct Recorder : Parser {
    void ElementStart(const std::wstring& name) override {
        events.push_back(L"+" + name);
        if (name == L"n") {
            ints.push_back(GetAttributeInt(L"i"));
            floats.push_back(GetAttributeFloat(L"f"));
            bools.push_back(GetAttributeBool(L"b"));
            fallback = GetAttributeIntOr(L"missing", 42);
            floatFallback = GetAttributeFloatOr(L"missing", 0.25f);
        }
        if (name == L"stop") stop_ = true;
    }
    void ElementEnd(const std::wstring& name) override { events.push_back(L"-" + name); }
    void ElementText(const std::wstring& text) override { events.push_back(L"=" + text); }
    Lines events;
    std::vector<int> ints;
    std::vector<float> floats;
    std::vector<bool> bools;
    int fallback = 0;
    float floatFallback = 0;
};

TEST_F(XmlFiles, ParserDispatchesAndReadsTypedAttributes) {
    Recorder r;
    r.ParseFile(Write("<r><n i=\"0x1F\" f=\"2.5\" b=\"1\"/><n i=\"12abc\" f=\"2.5f\" b=\"True\"/>hi</r>"));
    EXPECT_EQ(r.events, (Lines{L"+r", L"+n", L"-n", L"+n", L"-n", L"=hi", L"-r"}));
    EXPECT_EQ(r.ints, (std::vector<int>{31, 12}));
    EXPECT_FLOAT_EQ(r.floats[0], 2.5f);
    EXPECT_FLOAT_EQ(r.floats[1], 0.0f);  // not a plain decimal
    EXPECT_EQ(r.bools, (std::vector<bool>{true, false}));
    EXPECT_EQ(r.fallback, 42);
    EXPECT_FLOAT_EQ(r.floatFallback, 0.25f);
}

TEST_F(XmlFiles, HandlerCanStopTheLoop) {
    Recorder r;
    r.ParseFile(Write("<r><stop/><after/></r>"));
    EXPECT_EQ(r.events, (Lines{L"+r", L"+stop"}));
}

TEST_F(XmlFiles, MissingFileIsSilentlyEmpty) {
    Recorder r;
    r.ParseFile((dir_ / "absent.xml").string());
    EXPECT_TRUE(r.events.empty());
}

}  // namespace
