// Scene-script seeds: the game's own button scripts, and small scripts that
// each once took the program down (a layer removed under the script, an
// animation declared inside one of its name or without a name, a script
// starting itself, huge picks, intervals and button sizes, a restart while
// waiting for a child, steps nested far deeper than the stack).
#include <fstream>
#include <sstream>

#include "foundation/files/parser.h"
#include "fuzz/seeds/seeds.h"

namespace seeds {
namespace {

class AnimationCounter : public Parser {
public:
    void ElementStart(const std::wstring& name) override { animations += name == L"animation" ? 1 : 0; }
    int animations = 0;
};

bool Declares(const std::string& path) {
    AnimationCounter counter;
    counter.ParseFile(path);
    return counter.animations > 0;
}

std::string Nested(int depth) {
    std::string xml = "<animations><animation name=\"deep\">";
    for (int i = 0; i < depth; ++i) xml += "<s>";
    for (int i = 0; i < depth; ++i) xml += "</s>";
    return xml + "</animation></animations>";
}

}  // namespace

void WriteScriptSeeds(Corpus& corpus) {
    corpus.Begin("scripts");
    std::stringstream game;
    game << std::ifstream(HALVARO_SOURCE_DIR "/data/properties/animations_buttons.xml").rdbuf();
    const std::pair<const char*, std::string> scripts[] = {
        {"game_buttons.xml", game.str()},
        {"layer_gone.xml", R"(<animations><animation name="a">
            <add-rect id="holder" width="10" height="10"/><set-layer id="holder"/><push-layer/>
            <remove id="holder"/><wait-for time="1"/><add-rect id="after" width="5" height="5"/>
            <define l="self.layer"/><pop-layer/><add-rect id="popped"/></animation></animations>)"},
        {"self_nested.xml", R"(<animations><animation name="a"><x><animation name="a"><y/></animation></x>
            <add-rect id="r"/></animation></animations>)"},
        {"nameless_button.xml", R"(<animations><animation><add-button type="b"/></animation>
            <animation name="a"><add-button type="b" text="go" lookup="0"/></animation></animations>)"},
        {"starts_itself.xml", R"(<animations><animation name="a"><play animation="a" id="c" remove="0"/>
            <spawn animation="a"/><wait-for time="1"/></animation></animations>)"},
        {"huge_pick.xml", R"(<animations><animation name="a"><add-rect id="box" width="100" height="100"/>
            <allow-mouse id="box" disable="1"/><define p="0"/><animation name="dot"><define p="p+1"/></animation>
            <pick id="box" points="1000" tries="10000" animation="dot"/>
            <get-point id="box" tries="10000" x="px" y="py"/></animation></animations>)"},
        {"huge_numbers.xml", R"(<animations><animation name="a"><add-rect id="box" width="4" height="4"/>
            <flash id="box" interval="2000000000" cycles="2"/><wait-for time="2"/>
            <flash id="box" interval="5" timer_init="2147483647"/>
            <add-button id="b" text="x" lookup="0" text_offset_x="2147483647"/>
            <resize id="b" width="-2147483648" height="2147483647"/><wait-for time="2"/></animation></animations>)"},
        {"wait_for_child.xml", R"(<animations><animation name="kid"><wait-for cond="0"/></animation>
            <animation name="a"><loop><play animation="kid" id="k" remove="0"/>
            <wait-for id="k" event="animation" time="3"/><remove id="k"/></loop></animation></animations>)"},
        {"deep.xml", Nested(20000)},
    };
    for (const auto& [name, xml] : scripts) corpus.Expect(Declares(corpus.Write(name, xml)), name);
}

}  // namespace seeds
