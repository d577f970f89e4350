// Damaged and unusual data files, each read by the reader the game uses for
// it: they read as XML reads them, or stop at once with a clear error, and
// never make the reader build more than the game can use.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/frontend/hud/tutorial_data.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

using ReadAttributes = std::map<std::wstring, std::wstring>;

// Every start tag's attributes and every text, as a loader's handlers see them.
class TagRecorder : public Parser {
public:
    void ElementStart(const std::wstring& name) override {
        ReadAttributes& seen = tags[name];
        for (const auto& [key, value] : element_.attributes) seen[key] = value;
    }
    void ElementText(const std::wstring& text) override { texts.push_back(text); }

    std::map<std::wstring, ReadAttributes> tags;
    std::vector<std::wstring> texts;
};

class DamagedFiles : public CatalogueTest {
protected:
    TagRecorder Read(const std::string& xml) {
        WriteProperty("doc.xml", xml);
        TagRecorder recorder;
        recorder.LoadPropertiesXml("doc.xml");
        return recorder;
    }
    size_t HighlightTiles(const std::string& highlights) {
        WriteProperty("tutorial_data.xml", "<tutorial><step name=\"s\">" + highlights + "</step></tutorial>");
        const TutorialData data = ReadTutorialData("tutorial_data.xml");
        return data.steps.empty() ? 0 : data.steps[0]->Highlights().size();
    }
    // A saved park as the profile holds it, written after one read and again after a second.
    std::pair<std::wstring, std::wstring> SavedTwice(const std::wstring& levels) {
        WriteProperty("items.xml", R"(<items><rides><building type="wheel">
            <upgrade label="lights"/><upgrade label="bulbs"/><boost label="fast"/></building></rides></items>)");
        KivraItemStats items;
        items.Load();
        std::wstring first, second;
        KivraLevelStats once, twice;
        once.ParseFile(WriteFile("cut.xml", levels));
        once.WriteLevels(first, L"");
        twice.ParseFile(WriteFile("again.xml", L"<profile>" + first + L"</profile>"));
        twice.WriteLevels(second, L"");
        return {first, second};
    }
};

TEST_F(DamagedFiles, ReadAsXmlReadsThemOrStopWithAClearError) {
    std::string deep;
    for (int i = 0; i < 3000; ++i) deep += "<a>";
    const std::string manyHighlights = [] {
        std::string out;
        for (int i = 0; i < 100; ++i) out += "<highlight col=\"1\" row=\"1\"/>";
        return out;
    }();
    const struct Row {
        const char* what;
        std::function<void()> check;
    } rows[] = {
        {"a nest deeper than any game file",
         [&] {
             Read(deep);
             ASSERT_EQ(Errors().size(), 1u);
             EXPECT_TRUE(Errors()[0].starts_with(L"Elements Nested Too Deeply on Line 1 in File '")) << Errors()[0];
         }},
        {"values quoted with apostrophes",
         [&] {
             EXPECT_EQ(Read("<a v='x \"y\"' w=\"it's\" z=don't u=''/>").tags[L"a"],
                       (ReadAttributes{{L"u", L""}, {L"v", L"x \"y\""}, {L"w", L"it's"}, {L"z", L"don't"}}));
         }},
        {"'>' in element text", [&] { EXPECT_EQ(Read("<t>a > b</t>").texts, std::vector<std::wstring>{L"a > b"}); }},
        {"a tag closed with \" />\"",
         [&] {
             EXPECT_EQ(Read("<c name=\"k\" /><d />").tags,
                       (std::map<std::wstring, ReadAttributes>{{L"c", {{L"name", L"k"}}}, {L"d", {}}}));
         }},
        {"line feeds in values",
         [&] {
             EXPECT_EQ(Read("<a v=\"x\ny\tz\" c=\"1&cr;2\"/>").tags[L"a"],
                       (ReadAttributes{{L"c", L"1\n2"}, {L"v", L"x y\tz"}}));
         }},
        {"a highlight larger than any park",
         [&] {
             EXPECT_EQ(HighlightTiles("<highlight col=\"-5\" row=\"3\" width=\"2147483647\" height=\"2147483647\"/>"),
                       size_t{kParkSideBound} * (kParkSideBound - 3));
         }},
        {"more highlights than a tutorial needs",
         [&] { EXPECT_EQ(HighlightTiles(manyHighlights), size_t{kMostHighlights}); }},
        {"levels cut inside a building item",
         [&] {
             for (const wchar_t* cut :
                  {L"<item type=\"wheel\" col=\"1\" row=\"2\">",
                   L"<item type=\"wheel\" col=\"1\" row=\"2\"><upgrade label=\"lights\" purchased=\"true\"/>"}) {
                 const auto [first, second] = SavedTwice(L"<profile><level name=\"x\">" + std::wstring(cut));
                 EXPECT_EQ(second, first) << cut;
             }
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        services_.boxes.clear();
        row.check();
    }
}

}  // namespace
