// The player state's current pointer and the texts the profile file pastes
// into its XML, read back with the engine's own XML reader.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "app/player/basic_player_state.h"
#include "foundation/expression/expression.h"
#include "foundation/files/xml_parser.h"
#include "tests/platform/temp_folder.h"

namespace {

TEST(BasicPlayerState, CurrentPointerFollowsMakeCurrentAndDestruction) {
    BasicPlayerState first;
    {
        BasicPlayerState second;
        first.MakeCurrent();
        EXPECT_EQ(BasicPlayerState::Current(), &first);
        // Destroying one that is not current leaves the current one alone.
    }
    EXPECT_EQ(BasicPlayerState::Current(), &first);
    {
        BasicPlayerState replacement;
        replacement.MakeCurrent();
        EXPECT_EQ(BasicPlayerState::Current(), &replacement);
    }
    EXPECT_EQ(BasicPlayerState::Current(), nullptr);
}

TEST(BasicPlayerState, PlayTimeTextIsSignedDecimalWithStartedAsDigit) {
    BasicPlayerState player;
    player.started_ = true;
    player.hours_ = 12;
    player.minutes_ = -3;
    player.centiseconds_ = 5999;
    EXPECT_EQ(player.FormatPlayTime(), L"started=\"1\" hours=\"12\" minutes=\"-3\" centiseconds=\"5999\"");
    player.started_ = false;
    EXPECT_EQ(player.FormatPlayTime().substr(0, 12), L"started=\"0\" ");
}

// Writes the symbols inside one element and reads every symbol element back
// as the profile reader does: the value text is evaluated as an expression.
std::map<std::wstring, std::wstring> ReadBack(const BasicPlayerState& player) {
    VariableMap none;
    ExpressionEvaluator evaluator(none);
    testsupport::TempFolder folder;
    const std::string path = folder / "profile.xml";
    std::wofstream(path) << L"<profile>" << player.WriteSymbols() << L"</profile>";
    XMLParser reader;
    std::map<std::wstring, std::wstring> symbols;
    if (!reader.OpenFile(path)) return symbols;
    XMLElement e;
    while (reader.NextElement(e)) {
        if (e.kind == XMLElement::kStart && e.name == L"symbol")
            symbols[e.attributes[L"name"]] = evaluator.Evaluate(e.attributes[L"value"]).ToString();
    }
    if (reader.HasFailed()) symbols[L"error"] = reader.GetErrorText();
    return symbols;
}

TEST(BasicPlayerState, SymbolsWithMarkupCharactersReadBackUnchanged) {
    BasicPlayerState player;
    player.symbols_[L"say \"hi\""] = PropertyValue(L"<b>&</b>");
    player.symbols_[L"flag"] = PropertyValue(true);
    player.symbols_[L"count"] = PropertyValue(-42);
    const auto back = ReadBack(player);
    const std::map<std::wstring, std::wstring> expected{
        {L"say \"hi\"", L"<b>&</b>"}, {L"flag", L"true"}, {L"count", L"-42"}};
    EXPECT_EQ(back, expected);
}

TEST(BasicPlayerState, SymbolsAreWrittenInNameOrderWithNothingBetween) {
    BasicPlayerState player;
    EXPECT_EQ(player.WriteSymbols(), L"");
    player.symbols_[L"b"] = PropertyValue(2);
    player.symbols_[L"B"] = PropertyValue(false);
    EXPECT_EQ(player.WriteSymbols(), L"<symbol name=\"B\" value=\"false\"/><symbol name=\"b\" value=\"2\"/>");
}

}  // namespace
