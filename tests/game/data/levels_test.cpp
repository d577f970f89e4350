#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/data/catalogues/level_stats.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

class Levels : public CatalogueTest {
protected:
    void Load(const std::string& body) {
        WriteProperty("levels.xml", "<levels>" + body + "</levels>");
        stats_.Load();
    }
    LEVEL& Level(std::wstring_view name) {
        LEVEL* level = FindRecordByName(&stats_, name);
        EXPECT_NE(level, nullptr) << text::ToUtf8(name);
        return *level;
    }
    static std::wstring Write(LevelStats& stats) {
        std::wstring out = L"<levels>\n";
        stats.WriteLevels(out, L"\t");
        return out + L"</levels>\n";
    }
    // Reads the text into a fresh catalogue the way a saved file is read.
    void Read(LevelStats& stats, const std::wstring& text) { stats.ParseFile(WriteFile("saved.xml", text)); }
    // The same as UTF-8 with its byte-order mark, for texts beyond 8 bits.
    void ReadUtf8(LevelStats& stats, const std::wstring& text) {
        testsupport::WriteBytes(folder_.Path() / "saved8.xml", "\xEF\xBB\xBF" + text::ToUtf8(text));
        stats.ParseFile((folder_.Path() / "saved8.xml").string());
    }
    static std::wstring Column(const LEVEL& level, size_t col) {
        return std::wstring(level.tiles[col].begin(), level.tiles[col].end());
    }

    LevelStats stats_;
};

TEST_F(Levels, LevelFileGivesLayoutMetricsGoalsAndItems) {
    Load(R"(<level name="bay" grid_x="-5" grid_y="6" camera_x="7" camera_y="-8">
                <metric name="visitors" value="12"/><metric name="cash" value="-3"/>
                <goal name="g1" metric="cash" above="10" below="2" completed="1"/>
                <goal name="g2" metric="visitors" exactly="4.5"/>
                <goal name="g3" metric="visitors" below="7" completed="yes"/>
                <goal name="g4" metric="visitors"/>
                <item type="wheel" col="3" row="4" orientation="2" action="spin"/>
                <item type="cart"/>
                <sign text="ignored"/>
                <tiles>
                    abc
                    abc
                    abc
                </tiles>
            </level>
            <level name="cove" background="cove_sky"/>)");
    EXPECT_EQ(LevelStats::Current(), &stats_);
    LEVEL& bay = Level(L"bay");
    EXPECT_EQ(bay.background, L"bay");  // defaults to the name
    EXPECT_EQ(std::tie(bay.grid_x, bay.grid_y, bay.camera_x, bay.camera_y), std::make_tuple(-5, 6, 7, -8));
    EXPECT_EQ(bay.metrics.Entries(), (ExtendedPropertyMap<int32_t>::Map{{L"cash", -3}, {L"visitors", 12}}));
    ASSERT_EQ(bay.goals.Size(), 4u);
    const LEVEL_GOAL& g1 = *bay.goals.At(0);
    EXPECT_EQ(std::tie(g1.name, g1.metric), std::make_tuple(L"g1", L"cash"));
    EXPECT_EQ(g1.comparison, LEVEL_GOAL::kAbove);  // "above" wins over "below"
    EXPECT_FLOAT_EQ(g1.requirement, 10.0f);
    EXPECT_TRUE(g1.completed);
    EXPECT_EQ(bay.goals.At(1)->comparison, LEVEL_GOAL::kExactly);
    EXPECT_FLOAT_EQ(bay.goals.At(1)->requirement, 4.5f);
    EXPECT_EQ(bay.goals.At(2)->comparison, LEVEL_GOAL::kBelow);
    EXPECT_FALSE(bay.goals.At(2)->completed);
    EXPECT_EQ(std::tie(bay.goals.At(3)->comparison, bay.goals.At(3)->requirement), std::make_tuple(0, 0.0f));
    ASSERT_EQ(bay.items.Size(), 2u);
    const LEVEL_ITEM& wheel = *bay.items.At(0);
    EXPECT_EQ(std::tie(wheel.type, wheel.col, wheel.row, wheel.orientation, wheel.action),
              std::make_tuple(L"wheel", 3, 4, 2, L"spin"));
    EXPECT_EQ(std::tie(bay.cols, bay.rows), std::make_tuple(3, 3));
    EXPECT_EQ(bay.tiles[2][0], L'c');
    EXPECT_EQ(Column(bay, 1), L"bbb");
    EXPECT_EQ(Level(L"cove").background, L"cove_sky");
    EXPECT_EQ(std::tie(Level(L"cove").cols, Level(L"cove").rows), std::make_tuple(0, 0));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(Levels, TextAnywhereInALevelIsItsTileMap) {
    Load(R"(xyz
            <level name="a"><metric name="m" value="1"/>pq rs<item type="t"/></level>
            stray
            <level name="b">first map<tiles>uv wx</tiles></level>)");
    EXPECT_EQ(std::tie(Level(L"a").cols, Level(L"a").rows), std::make_tuple(2, 2));
    EXPECT_EQ(Column(Level(L"a"), 0), L"pr");
    // The last text of a level replaces the map before it.
    EXPECT_EQ(Column(Level(L"b"), 1), L"vx");
    EXPECT_EQ(Level(L"b").rows, 2);
}

TEST_F(Levels, RowsOfOtherLengthsKeepEveryColumnFull) {
    TileColumns tiles;
    int32_t cols = -1, rows = -1;
    // A longer row loses its extra characters; a shorter one is filled with empty ground.
    LevelStats::ParseTiles(L"abc abcdef ab abc", tiles, cols, rows);
    EXPECT_EQ(std::tie(cols, rows), std::make_tuple(3, 4));
    ASSERT_EQ(tiles.size(), 3u);
    for (const auto& column : tiles) EXPECT_EQ(column.size(), 4u);
    EXPECT_EQ(std::wstring(tiles[2].begin(), tiles[2].end()), L"cc_c");

    // Filling never invents more tiles than the text holds: a long first row
    // over many short ones stops taking rows once the filler would outgrow it.
    const std::wstring wide(1000, L'w');
    std::wstring damaged = wide;
    for (int i = 0; i < 5000; ++i) damaged += L" x";
    LevelStats::ParseTiles(damaged, tiles, cols, rows);
    EXPECT_EQ(cols, 1000);
    EXPECT_LE(static_cast<size_t>(cols) * static_cast<size_t>(rows), 2 * damaged.size());
    EXPECT_GT(rows, 1);
    for (const auto& column : tiles) ASSERT_EQ(column.size(), static_cast<size_t>(rows));

    // Parsing again replaces the old map.
    LevelStats::ParseTiles(L"z", tiles, cols, rows);
    EXPECT_EQ(std::tie(cols, rows), std::make_tuple(1, 1));
    EXPECT_EQ(tiles, (TileColumns{{L'z'}}));
}

TEST_F(Levels, WriterProducesTheExactText) {
    Load(R"(<level name="zeta" background="sky" grid_x="1" grid_y="2" camera_x="3" camera_y="-4">
                <metric name="b" value="2"/><metric name="a" value="1"/>
                <item type="cart" col="1" row="0" orientation="3"/>
                <goal name="win" metric="a" exactly="2.5" completed="true"/>
                <goal name="low" metric="b" below="3"/>
                <tiles>ab cd</tiles>
            </level>
            <level name="alpha"/>)");
    EXPECT_EQ(Write(stats_),
              L"<levels>\n"
              L"\t<level name=\"alpha\" background=\"alpha\" grid_x=\"0\" grid_y=\"0\" "
              L"camera_x=\"0\" camera_y=\"0\">\n"
              L"\t\t<tiles>\n"
              L"\t\t</tiles>\n"
              L"\t</level>\n\n"
              L"\t<level name=\"zeta\" background=\"sky\" grid_x=\"1\" grid_y=\"2\" camera_x=\"3\" "
              L"camera_y=\"-4\">\n"
              L"\t\t<metric name=\"a\" value=\"1\"/>\n"
              L"\t\t<metric name=\"b\" value=\"2\"/>\n"
              L"\t\t<goal name=\"win\" metric=\"a\" exactly=\"2.5\" completed=\"true\"/>\n"
              L"\t\t<goal name=\"low\" metric=\"b\" below=\"3\" completed=\"false\"/>\n"
              L"\t\t<item type=\"cart\" col=\"1\" row=\"0\" orientation=\"3\" action=\"\"/>\n"
              L"\t\t<tiles>\n"
              L"\t\t\tab\n"
              L"\t\t\tcd\n"
              L"\t\t</tiles>\n"
              L"\t</level>\n\n"
              L"</levels>\n");
}

TEST_F(Levels, WrittenTextReadsBackToTheSameText) {
    // Texts with the characters that end values and tags, large and fractional
    // requirements, and a tile map holding the same characters.
    Load(R"(<level name="a &amp; b &lt;c&gt; &quot;d&quot;" background="x/y" camera_x="4294967295">
                <metric name="big &amp; bold" value="2147483647"/>
                <goal name="million" metric="m" above="1500000"/>
                <goal name="tenth" metric="m" below="0.1"/>
                <goal name="half" metric="m" exactly="250000.5"/>
                <goal name="huge" metric="m" above="30000000000"/>
                <item type="q&quot;" col="-2" action="go &lt;now&gt;"/>
                <tiles>a&amp;&lt; &gt;&quot;@</tiles>
            </level>)");
    LEVEL& level = Level(L"a & b <c> \"d\"");
    EXPECT_EQ(level.camera_x, -1);  // the reader wraps modulo 2^32
    EXPECT_EQ(Column(level, 1), L"&\"");
    const std::wstring first = Write(stats_);
    EXPECT_NE(first.find(L"above=\"1500000\""), std::wstring::npos);
    EXPECT_NE(first.find(L"below=\"0.1\""), std::wstring::npos);
    EXPECT_NE(first.find(L"exactly=\"250000.5\""), std::wstring::npos);
    EXPECT_NE(first.find(L"above=\"30000000000\""), std::wstring::npos);

    LevelStats again;
    Read(again, first);
    EXPECT_TRUE(Errors().empty());
    const LEVEL* copy = FindRecordByName(&again, level.name);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->goals.Size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(copy->goals.At(i)->requirement, level.goals.At(i)->requirement) << i;
    EXPECT_EQ(copy->items.At(0)->action, L"go <now>");
    EXPECT_EQ(copy->tiles, level.tiles);
    EXPECT_EQ(Write(again), first);
}

TEST_F(Levels, TileCharactersTheReaderCannotGiveBackAreEmptyGround) {
    // A quoted stretch of text keeps every character raw and "&cr;" gives a
    // line feed, so a damaged file can hand the tile map characters that,
    // written, would split a row or stop the reader. They read as empty
    // ground; characters the reader gives back as themselves stay.
    struct Case {
        const wchar_t* tiles;
        const wchar_t* row;
    };
    const Case cases[] = {
        {L"\"a\tb\"", L"\"a_b\""},   {L"\"a\nb\"", L"\"a_b\""},   {L"\"a\rb\"", L"\"a_b\""},
        {L"\"a\001b\"", L"\"a_b\""}, {L"\"a\037b\"", L"\"a_b\""}, {L"a&cr;b", L"a_b"},
        {L"a\uFFFEb", L"a_b"},       {L"a\uFFFFb", L"a_b"},       {L"a\177b", L"a\177b"},
        {L"a\205b", L"a\205b"},      {L"a\uFEFFb", L"a\uFEFFb"},  {L"a\u00E9\u20ACb", L"a\u00E9\u20ACb"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        // UTF-16 delivers every character of the table, noncharacters included.
        const std::wstring file =
            L"<levels><level name=\"l\"><tiles>" + std::wstring(c.tiles) + L"</tiles></level></levels>";
        testsupport::WriteBytes(folder_.Path() / "damaged.xml", "\xFF\xFE" + text::ToUtf16LE(file));
        LevelStats damaged;
        damaged.ParseFile((folder_.Path() / "damaged.xml").string());
        ASSERT_NE(FindRecordByName(&damaged, L"l"), nullptr);
        const LEVEL& level = *FindRecordByName(&damaged, L"l");
        std::wstring row;
        for (const auto& column : level.tiles) row += column.empty() ? L'?' : column[0];
        EXPECT_EQ(std::tie(row, level.rows), std::make_tuple(std::wstring(c.row), 1));

        const std::wstring first = Write(damaged);
        LevelStats again;
        ReadUtf8(again, first);
        EXPECT_EQ(Write(again), first);
    }
    EXPECT_TRUE(Errors().empty());

    // A map built by other code is written the same way.
    LevelStats built;
    Read(built, L"<levels><level name=\"b\"><tiles>abc</tiles></level></levels>");
    LEVEL& level = *FindRecordByName(&built, L"b");
    level.tiles[0][0] = L' ';
    level.tiles[1][0] = L'\n';
    level.tiles[2][0] = static_cast<wchar_t>(0xD800);
    const std::wstring first = Write(built);
    EXPECT_NE(first.find(L"\t\t\t___\n"), std::wstring::npos);
    LevelStats again;
    ReadUtf8(again, first);
    EXPECT_EQ(Write(again), first);
}

TEST_F(Levels, CopiesAreDeepAndIndependent) {
    Load(R"(<level name="b"><metric name="m" value="1"/><goal name="g" metric="m" above="2"/>
                <item type="t" col="1"/><tiles>ab ab</tiles></level>
            <level name="a"><tiles>x</tiles></level>
            <level name="b" background="second"><item type="u"/><tiles>cd cd</tiles></level>)");
    // The first level read stays first though a later one took its name.
    LEVEL* first = stats_.FirstLevel();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->background, L"b");
    EXPECT_EQ(Level(L"b").background, L"second");

    LevelStats copies;
    copies.CopyLevelsFrom(stats_);
    EXPECT_EQ(Write(copies), Write(stats_));
    // The copy of the first level is the one stored under its name.
    ASSERT_NE(copies.FirstLevel(), nullptr);
    EXPECT_EQ(copies.FirstLevel(), FindRecordByName(&copies, L"b"));
    EXPECT_EQ(copies.FirstLevel()->background, L"second");

    const std::wstring before = Write(stats_);
    LEVEL* b = FindRecordByName(&copies, L"b");
    b->items.At(0)->type = L"changed";
    b->tiles[0][0] = L'#';
    b->metrics[L"m"] = 9;
    b->goals.Add(std::make_unique<LEVEL_GOAL>());
    EXPECT_EQ(Write(stats_), before);
    EXPECT_NE(Write(copies), before);

    const std::unique_ptr<LEVEL> clone = copies.CloneLevel(*first);
    EXPECT_EQ(clone->items.At(0)->col, 1);
    EXPECT_EQ(clone->goals.At(0)->comparison, LEVEL_GOAL::kAbove);
    EXPECT_NE(clone->items.At(0), first->items.At(0));

    copies.CopyLevelsFrom(copies);  // copying from itself keeps everything
    EXPECT_NE(FindRecordByName(&copies, L"a"), nullptr);
    copies.ClearLevels();
    EXPECT_EQ(copies.FirstLevel(), nullptr);
    EXPECT_EQ(Write(copies), L"<levels>\n</levels>\n");
}

TEST_F(Levels, ScriptsReachLevelsAndTheirContainers) {
    Load(R"(<level name="p"><metric name="cash" value="40"/><goal name="g" metric="cash" above="5"/>
                <item type="t" col="2"/><item type="u" row="3"/></level>)");
    ExtendedPropertyInterface* level = stats_.Levels().GetProperty(L"p").ToPropertyInterface();
    ASSERT_EQ(level, &Level(L"p"));
    EXPECT_TRUE(stats_.Levels().GetProperty(L"q").Is(PropertyValue::Tag::Bool));
    ExtendedPropertyInterface* metrics = level->GetProperty(L"metric").ToPropertyInterface();
    ASSERT_NE(metrics, nullptr);
    EXPECT_EQ(metrics->GetProperty(L"cash").ToInt(), 40);
    ExtendedPropertyInterface* items = level->GetProperty(L"items").ToPropertyInterface();
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->GetProperty(L"length").ToInt(), 2);
    EXPECT_EQ(items->GetProperty(L"1").ToPropertyInterface()->GetProperty(L"type").ToString(), L"u");
    EXPECT_EQ(items->GetProperty(L"1").ToPropertyInterface()->GetProperty(L"row").ToInt(), 3);
    for (const wchar_t* outside : {L"2", L"-1", L"01x", L""})
        EXPECT_TRUE(items->GetProperty(outside).Is(PropertyValue::Tag::Bool)) << text::ToUtf8(outside);
    ExtendedPropertyInterface* goal =
        level->GetProperty(L"goals").ToPropertyInterface()->GetProperty(L"0").ToPropertyInterface();
    ASSERT_NE(goal, nullptr);
    EXPECT_FLOAT_EQ(goal->GetProperty(L"requirement").ToReal(), 5.0f);
    EXPECT_FALSE(goal->GetProperty(L"completed").ToBool());
    EXPECT_EQ(level->GetProperty(L"cols").ToInt(), 0);
}

TEST_F(Levels, RecordsOutsideALevelAndDamagedFilesAreReported) {
    Load(R"(<item type="lost"/><level name="kept"><tiles>ab</tiles></level><goal name="late"/>)");
    EXPECT_EQ(Level(L"kept").items.Size(), 0u);
    EXPECT_EQ(Level(L"kept").goals.Size(), 0u);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(L"<item> stands outside any level"), std::wstring::npos);

    LevelStats cut;
    Read(cut, L"<levels><level name=\"whole\"/><level name=\"cut\"><tiles>ab");
    EXPECT_NE(FindRecordByName(&cut, L"whole"), nullptr);
    ASSERT_EQ(Errors().size(), 2u);
    EXPECT_NE(Errors()[1].find(L"Unexpected End of File"), std::wstring::npos);
}

TEST_F(Levels, DestroyedCatalogueIsNoLongerCurrent) {
    Load("");
    {
        LevelStats later;
        later.Load();
        EXPECT_EQ(LevelStats::Current(), &later);
    }
    EXPECT_EQ(LevelStats::Current(), nullptr);
    // Destroying a catalogue that is not the current one leaves the current one.
    LevelStats current;
    current.Load();
    { LevelStats unloaded; }
    EXPECT_EQ(LevelStats::Current(), &current);
}

}  // namespace
