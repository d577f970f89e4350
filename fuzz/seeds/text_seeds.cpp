// Text seeds: XML documents in each encoding the reader detects, descriptor
// language commands, expressions and curve names.
#include "foundation/files/desc_parser.h"
#include "foundation/files/parser.h"
#include "foundation/system/text.h"
#include "fuzz/seeds/seeds.h"

namespace seeds {
namespace {

const std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Counts elements; an error box would mean the seed was refused.
class CountingLoader : public Parser {
public:
    void ElementStart(const std::wstring&) override { ++elements; }
    int elements = 0;
};

bool XmlAccepted(const std::string& path) {
    CountingLoader loader;
    XMLParser reader;
    if (!reader.OpenFile(path)) return false;
    loader.RunElementLoop(reader);
    return !reader.HasFailed() && loader.elements > 0;
}

std::string Utf16(std::wstring_view text, bool bigEndian) {
    std::string bytes = text::ToUtf16LE(text);
    if (bigEndian)
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    return (bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE")) + bytes;
}

void WriteXmlSeeds(Corpus& corpus) {
    corpus.Begin("xml");
    const std::wstring wide =
        L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\n<strings lang=fr>\n"
        L"  <string key=\"CAFE\">caf\u00e9 \U0001F3A0 &lt;ride&gt;</string>\n</strings>\n";
    const std::pair<const char*, std::string> documents[] = {
        {"catalogue.xml",
         "<?xml version=\"1.0\"?>\n<items>\n  <!-- rides first -->\n"
         "  <item name=\"ride_1\" cost=\"250\" scale=0.5 visible=true image=\"images\\rides\\ride_1\">\n"
         "    <upgrade level=\"1\" price=\"-12\" bonus=\"0.25\"/>\n    Some &amp; text &quot;here&quot;\n"
         "  </item>\n  <empty />\n</items>\n"},
        {"utf8_bom.xml", std::string(kUtf8Bom) + "<fonts><font name=\"body\" path=\"body.txt\" size=\"1.25e1\"/>"
                                                 "<alias name=\"caf\xC3\xA9\" font='body'/></fonts>"},
        {"utf16le_bom.xml", Utf16(wide, false)},
        {"utf16be_bom.xml", Utf16(wide, true)},
        {"instruction_and_text.xml",
         "<?game data=\"3\" ?>\r\n<root a=1 b=\"x y\" c>text<child/>more\t\ttext<!-- a -- b --></root>"},
    };
    for (const auto& [name, bytes] : documents) corpus.Expect(XmlAccepted(corpus.Write(name, bytes)), name);
}

// Takes every command; only the language itself can refuse a seed.
class AnyCommand : public DescParser {
protected:
    bool HandleCommand(ListDataElement& params) override {
        if (params.elements.size() == 3 && DataElementToText(*params.elements[0]) == L"Define")
            AddDefine(DataElementToText(*params.elements[1]), params.elements[2]->Duplicate());
        return true;
    }
};

void WriteDescriptorSeeds(Corpus& corpus) {
    corpus.Begin("descriptor");
    const std::pair<const char*, std::string_view> descriptors[] = {
        {"defines_and_lists.txt",
         "# Defines, then commands using them.\n"
         "Define Greeting \"Hello, \"\"world\"\"\";\n"
         "Define Sizes (8 10.5 -3 +4);\n"
         "Define Nested (Sizes ('a' 'b''c') ((1 2) (3, 4)));\n"
         "Show Greeting Sizes Nested 'single' 42;\n"
         "List (Greeting Sizes) Nested\n"},
        {"escapes_and_comments.txt",
         "# escapes\n"
         "Escape \"back\\\\slash\" 'it\\'s' \"line\\\n"
         "break\";\n"
         "  # an indented comment\n"
         "Numbers (1e3 -0.5 .25 0x10) ();\n"},
    };
    for (const auto& [name, bytes] : descriptors) {
        corpus.Write(name, bytes);
        AnyCommand parser;
        corpus.Expect(parser.LoadDescriptorText(text::FromUtf8(bytes)), name);
    }
}

void WriteExpressionSeeds(Corpus& corpus) {
    corpus.Begin("expression");
    const std::pair<const char*, const char*> expressions[] = {
        {"condition.txt", "state == 2 && timer > constant(fade_time) * 0.5 && min(intptr(count_ptr), 3) >= 2"},
        {"format.txt", "format(literal(%d of %5.2f: %s), intptr(count_ptr), realptr(speed_ptr), label) + label"},
        {"ternary_text.txt", "visible ? substring(label, 2, 4) : strlen(format(localize(GREETING), label))"},
        {"maths.txt",
         "sin(45) + cos(timer) * tan(10) - atan(1) + sqrt(16) / pow(2, 10) + ln(10) - log(100) + abs(-3) "
         "+ sign(-2) + mod(17, 5) + dist(0, 0, 3, 4) + max(1, 2.5) - -(3)"},
        {"conversions.txt", "rand(10) + rand(2.5, 7.5) + noise(timer) + int(3.7) + real(2) + bool(1) + string(42)"},
        {"list.txt", "eval(literal(1 + 2 * (3 - 4))), global(score), exists(label), tint.r, label[2], !visible ^^ 1"},
        {"lookups.txt", "sysvalue(screen_width) != image(logo) || sound(click) <= track(theme) || color(255, 0, 0)"},
    };
    // The evaluator reports nothing, so there is nothing to check them by.
    for (const auto& [name, text] : expressions) corpus.Write(name, text);
}

void WriteCurveSeeds(Corpus& corpus) {
    corpus.Begin("curve");
    const std::pair<const char*, const char*> curves[] = {
        {"named.txt", "in_out_cubic"},
        {"elastic_with_parameters.txt", "out_elastic\nbase=2\nperiod=3\nfraction=0.5"},
        {"back_with_accel.txt", "in_back\naccel=1.5"},
        {"nested_prefixes.txt", "out_in_out_bounce"},
        {"expo.txt", "in_out_expo\nbase=1"},
        {"formula.txt", "t * t * (3 - 2 * t) + sin(t * 90) * wobble\nwobble=0.25"},
        {"variable_names_curve.txt", "ease\nease=out_quad"},
    };
    for (const auto& [name, text] : curves) corpus.Write(name, text);
}

}  // namespace

void WriteTextSeeds(Corpus& corpus) {
    WriteXmlSeeds(corpus);
    WriteDescriptorSeeds(corpus);
    WriteExpressionSeeds(corpus);
    WriteCurveSeeds(corpus);
}

}  // namespace seeds
