// The front door's content as the game loads it: data/ packed as the build
// packs it, assets.xml read into the real registry, fonts, constants, texts
// and scripts from the pack. Every word of every script is one the
// interpreter knows; each screen's script runs once in a widget tree with
// the variables its screen gives it, and every image and sound it asks for
// is registered; the names the screen classes ask for themselves are there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization.h"
#include "foundation/expression/localization_map.h"
#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "foundation/files/parser.h"
#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/text.h"
#include "rendering/font/font.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image.h"
#include "rendering/image/image_registry_host.h"
#include "tests/app/recording_tracks.h"
#include "tests/platform/temp_folder.h"
#include "widgets/controls/button_widget.h"
#include "widgets/controls/text_label.h"
#include "widgets/dynamic/dynamic_widget.h"
#include "widgets/script/animation_stats.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_words.h"
#include "widgets/tree/widget_manager.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(HALVARO_SOURCE_DIR) / "data";

// Every sound file the data folder holds loads; the registry hands out ids.
class DataSounds : public NullSoundManager {
public:
    bool LoadSound(int, std::string_view path) override {
        for (const char* extension : {".wav", ".ogg", ".au"})
            if (std::filesystem::exists(kData / (std::string(path) + extension))) return true;
        return false;
    }

private:
    ScopedService<SoundManager> installed_{this};
};

// The application's lookups by name, answered by the registry; every name
// it cannot answer is kept.
class RegistryLookups : public NullAppServices {
public:
    explicit RegistryLookups(AssetRegistry& registry) : registry_(registry) {}
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        Image* image = registry_.FindImageByName(name);
        if (!image) missingImages.insert(std::wstring(name));
        return image;
    }
    int FindSoundId(std::wstring_view name) override {
        const int id = registry_.FindSoundId(name);
        if (id < 0) missingSounds.insert(std::wstring(name));
        return id;
    }
    int FindTrackId(std::wstring_view name) override { return registry_.FindTrackId(name); }
    void AdvanceLoadingStep() override {}

    std::set<std::wstring> missingImages, missingSounds;

private:
    AssetRegistry& registry_;
    ScopedService<AppServices> installed_{this};
};

// A screen running one script. The profile screen's own word "add-profile"
// makes a name row and hides the row's confirm button, as that screen does.
class Screen : public AnimationWidget {
public:
    Screen() : AnimationWidget(L"", 0, 0, false) {}
    int HandleCustomCommand(const AnimationStep& step) override {
        if (step.name != L"add-profile") return 0;
        auto* row =
            new ButtonWidget(StepAttributeInt(L"x"), StepAttributeInt(L"y"), StepAttributeString(L"type"), L"", false);
        RegisterObject(StepAttributeString(L"id"), row);
        if (auto* button = Variables()[L"button"].ToWidget<DynamicWidget>()) button->SetVisible(false);
        ++rows;
        return 2;
    }
    void DoAction(std::wstring_view action, std::wstring_view, int) override { actions.emplace_back(action); }

    int rows = 0;
    std::vector<std::wstring> actions;
};

// Words the interpreter does not know, with the script they stand in;
// "add-profile" belongs to the profile screen.
// Words the game's screens answer themselves: the profile screen's, and the
// in-game display's lists, sliders, text field, reminders and goal panels;
// and those the park's tasks take in their own hook (the visitors' and the
// park's task scripts use them).
const std::set<std::wstring> kScreenWords = {
    L"add-profile",     L"get-stats",        L"get-search",           L"step-search",
    L"reset-search",    L"add-slider",       L"add-text-input",       L"add-reminder",
    L"remove-reminder", L"set-active-goals", L"add-customer-spawner", L"remove-customer-spawner"};
const std::set<std::wstring> kTaskWords = {
    L"add-task",    L"finish-task",    L"add-item",       L"find-item",          L"find-tile", L"get-tile",
    L"set-tile",    L"set-action",     L"set-origin",     L"set-orientation",    L"face",      L"follow-path",
    L"find-nearby", L"enter-building", L"leave-building", L"stop-following-path"};

void CollectUnknownWords(const std::wstring& script, const StepList& steps, std::vector<std::wstring>& unknown) {
    for (const AnimationStep& step : steps) {
        const bool known = kScreenWords.contains(step.name) || kTaskWords.contains(step.name) ||
                           ScriptWordTable().Find(WordGroup::kNoObject, step) ||
                           ScriptWordTable().Find(WordGroup::kObject, step) ||
                           ScriptWordTable().Find(WordGroup::kNoObjectFound, step);
        if (!known) unknown.push_back(script + L": " + step.name);
        CollectUnknownWords(script, step.children, unknown);
    }
}

// The fonts the steps name; "text_font" is the notice's variable, which the
// notice sets to "menu".
void CollectFonts(const StepList& steps, std::set<std::wstring>& fonts) {
    for (const AnimationStep& step : steps) {
        // Variables the screens set to a font: the notice's text, the main menu's greeting.
        if (auto it = step.attributes.find(L"font"); it != step.attributes.end())
            fonts.insert(it->second == L"text_font"      ? L"menu"
                         : it->second == L"welcome_font" ? L"heading"
                                                         : it->second);
        CollectFonts(step.children, fonts);
    }
}

const std::vector<std::wstring> kScripts = {L"main_menu",    L"credits_menu", L"intro_menu",      L"profile_menu",
                                            L"options_menu", L"confirm_menu", L"notice_menu",     L"popup_intro",
                                            L"popup_outro",  L"button_init",  L"button_refresh",  L"level_select_menu",
                                            L"map_sign",     L"loading",      L"beat_level_menu", L"transition"};

class FrontDoorScriptsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BuildPack(kData.string(), folder / "main.pak").ok);
        std::filesystem::create_directories(folder / "run");
        // Nothing loose where the data is looked for: all of it comes from the pack.
        cwd = std::make_unique<testsupport::CurrentDirectoryGuard>(folder.Path() / "run");
        pak.Mount(folder / "main.pak");
        { AssetManager intro(registry, true); }
        { AssetManager game(registry, false); }
        LoadFontsXml(false);
        Constants constants;
        LocalizationMap().clear();
        Localization texts;
        texts.LoadPropertiesXml("localization.xml");
        AnimationLibrary().clear();
        AnimationStats loaded(false);
        mgr = std::make_unique<WidgetManager>();
    }
    void TearDown() override {
        mgr.reset();
        AnimationLibrary().clear();
        LocalizationMap().clear();
        UnloadFonts();
        registry.UnloadAllAssets();
        cwd.reset();
    }

    // Runs the script on a new screen with the variables its screen sets,
    // until it ends (or for `updates` updates), and returns the screen.
    Screen* Run(const std::wstring& script, const std::map<std::wstring, PropertyValue>& variables,
                int updates = 2000) {
        auto* screen = new Screen;
        for (const auto& [name, value] : variables) screen->SetVariable(name, value);
        mgr->AddWidget(screen);
        screen->PlayAnimationNamed(script);
        for (int i = 0; i < updates && !screen->IsScriptDone(); ++i) Tick();
        return screen;
    }

    void Tick() {
        mgr->UpdateFrame();
        mgr->UpdateFractionFrame(1.0f);
    }

    testsupport::TempFolder folder;
    std::unique_ptr<testsupport::CurrentDirectoryGuard> cwd;
    PakInterface pak;
    DataSounds sounds;
    testsupport::RecordingTracks tracks;
    AssetRegistry registry;
    ScopedService<ImageRegistryHost> fontPages{&registry};
    RegistryLookups lookups{registry};
    std::unique_ptr<WidgetManager> mgr;
};

TEST_F(FrontDoorScriptsTest, ScriptsUseOnlyKnownWordsAndNamedFonts) {
    std::vector<std::wstring> unknown;
    // Those the screens' code asks for, "large" for the board's pause cover; the scripts add theirs.
    std::set<std::wstring> fonts = {L"plain2",  L"plain2_white", L"hud_button_small", L"button", L"menu",
                                    L"heading", L"large"};
    for (const std::wstring& script : kScripts) {
        ASSERT_TRUE(AnimationExists(script)) << text::ToUtf8(script);
        CollectUnknownWords(script, FindAnimation(script)->steps, unknown);
        CollectFonts(FindAnimation(script)->steps, fonts);
    }
    for (const auto& [name, definition] : AnimationLibrary()) CollectUnknownWords(name, definition.steps, unknown);
    EXPECT_TRUE(unknown.empty()) << text::ToUtf8(unknown.front());
    for (const std::wstring& font : fonts) EXPECT_NE(GetFontMap().Find(font), nullptr) << text::ToUtf8(font);
    EXPECT_NE(LocalizeLookup(L"paused"), L"");  // the pause cover's text
}

TEST_F(FrontDoorScriptsTest, EachScreenScriptRunsAndFindsEveryAssetItNames) {
    Screen* main = Run(L"main_menu", {{L"player_name", PropertyValue(L"Ada")}});
    EXPECT_TRUE(main->IsScriptDone());
    for (const wchar_t* id : {L"play", L"profile", L"options", L"credits", L"quit", L"logo", L"welcome"})
        EXPECT_NE(main->Variables()[id].ToWidget<DynamicWidget>(), nullptr) << text::ToUtf8(id);
    // The greeting carries the name; the buttons end fully shown.
    auto* welcome = dynamic_cast<TextLabel*>(main->Variables()[L"welcome"].ToWidget<DynamicWidget>());
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->GetText(), L"Welcome, Ada!");
    auto* play = main->Variables()[L"play"].ToWidget<DynamicWidget>();
    ASSERT_NE(play, nullptr);
    for (int i = 0; i < 30; ++i) Tick();
    EXPECT_FLOAT_EQ(play->opacity, 1.0f);

    Screen* credits = Run(L"credits_menu", {{L"time", PropertyValue(L"Time in the park: 1 h 05 min")},
                                            {L"version", PropertyValue(L"v1.3")}});
    EXPECT_TRUE(credits->IsScriptDone());
    EXPECT_NE(credits->Variables()[L"back"].ToWidget<DynamicWidget>(), nullptr);

    Screen* profiles = Run(L"profile_menu", {});
    EXPECT_EQ(profiles->rows, 4);

    Screen* fromMenu = Run(L"options_menu", {{L"main_menu", PropertyValue(true)}});
    // Only the in-game display's dialog offers the way out of the park.
    EXPECT_EQ(fromMenu->Variables()[L"quit"].ToWidget<DynamicWidget>(), nullptr);
    EXPECT_NE(fromMenu->Variables()[L"close"].ToWidget<DynamicWidget>(), nullptr);
    Screen* inGame = Run(L"options_menu", {{L"in_game", PropertyValue(true)}});
    EXPECT_NE(inGame->Variables()[L"quit"].ToWidget<DynamicWidget>(), nullptr);

    Screen* confirm = Run(L"confirm_menu", {{L"title", PropertyValue(L"Sure?")},
                                            {L"text", PropertyValue(L"Really?")},
                                            {L"ok_text", PropertyValue(L"quit_confirm")},
                                            {L"cancel_text", PropertyValue(L"quit_cancel")}});
    // The title and text show as given; the button texts are keys.
    std::vector<std::wstring> texts;
    for (Widget* child : confirm->GetChildren())
        if (auto* label = dynamic_cast<TextLabel*>(child)) texts.push_back(label->GetText());
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Sure?", L"Really?"}));
    auto* ok = dynamic_cast<ButtonWidget*>(confirm->Variables()[L"ok"].ToWidget<DynamicWidget>());
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), L"Quit");
    Run(L"notice_menu", {{L"title", PropertyValue(L"Hello")},
                         {L"text", PropertyValue(L"World")},
                         {L"text_font", PropertyValue(L"menu")}});

    // Popups drop in and lift out around where they stand.
    auto* popup = new DynamicWidget(0, 0, nullptr, 1.0f);
    popup->Resize(100.0f, 200.0f, 10, 10);
    mgr->AddWidget(popup);
    Screen* intro = Run(L"popup_intro", {{L"menu", PropertyValue::FromWidget(popup)}});
    EXPECT_TRUE(intro->IsScriptDone());
    EXPECT_FLOAT_EQ(popup->GetY(), 200.0f);
    EXPECT_TRUE(Run(L"popup_outro", {{L"menu", PropertyValue::FromWidget(popup)}})->IsScriptDone());

    Screen* story = Run(L"intro_menu", {});
    EXPECT_TRUE(story->IsScriptDone());

    EXPECT_TRUE(lookups.missingImages.empty()) << text::ToUtf8(*lookups.missingImages.begin());
    EXPECT_TRUE(lookups.missingSounds.empty()) << text::ToUtf8(*lookups.missingSounds.begin());
}

// A park as the map reads it, and a player of two such parks.
struct ParkDouble : ExtendedPropertyInterface {
    explicit ParkDouble(std::wstring name) : parkName(std::move(name)) {}
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"trophies_earned") return PropertyValue(won);
        if (name == L"trophies_required") return PropertyValue(needed);
        if (name == L"name") return PropertyValue(parkName);
        if (name == L"display_name") return PropertyValue(displayName);
        return ExtendedPropertyInterface::GetProperty(name);
    }
    std::wstring parkName;
    std::wstring displayName;
    int won = 0;
    int needed = 0;
};

struct ParkPlayerDouble : ExtendedPropertyInterface {
    PropertyValue GetProperty(std::wstring_view name) override {
        if (name == L"level_maple_green") return PropertyValue::FromPropertyInterface(&maple);
        if (name == L"level_saltwind_bay") return PropertyValue::FromPropertyInterface(&bay);
        if (name == L"level_name") return PropertyValue(L"saltwind_bay");
        return ExtendedPropertyInterface::GetProperty(name);
    }
    ParkDouble maple{L"maple_green"}, bay{L"saltwind_bay"};
};

TEST_F(FrontDoorScriptsTest, TheParksScreensRunOnTheirPicturesAndOpenAParkOnceItsTrophiesAreWon) {
    AssetNameSets groups;
    for (const wchar_t* group : {L"map_screen", L"bg_splash_saltwind_bay"})
        registry.CollectAssetsMatching(group, groups);
    registry.LoadDynamicAssets(groups, nullptr);
    ParkPlayerDouble player;
    player.bay.needed = 3;
    player.maple.won = 2;
    auto sign = [](Screen* map, const wchar_t* id) {
        return dynamic_cast<ButtonWidget*>(map->Variables()[id].ToWidget<DynamicWidget>());
    };
    for (int bayWon : {0, 1}) {
        player.bay.won = bayWon;
        Screen* map = Run(L"level_select_menu", {{L"player_state", PropertyValue::FromPropertyInterface(&player)}});
        EXPECT_TRUE(map->IsScriptDone());
        ASSERT_NE(sign(map, L"sign_maple_green"), nullptr);
        ASSERT_NE(sign(map, L"sign_saltwind_bay"), nullptr);
        EXPECT_FALSE(sign(map, L"sign_maple_green")->IsDisabled());
        // Three trophies in all open the bay.
        EXPECT_EQ(sign(map, L"sign_saltwind_bay")->IsDisabled(), bayWon == 0);
        EXPECT_NE(map->Variables()[L"back"].ToWidget<DynamicWidget>(), nullptr);
    }
    Screen* loading = Run(L"loading", {{L"level_to_play", PropertyValue(L"maple_green")}});
    EXPECT_EQ(loading->actions, std::vector<std::wstring>{L"displayed_loading"});

    // The finished park is named as the player named it.
    player.bay.displayName = L"Gull Cove";
    Screen* beat = Run(L"beat_level_menu", {{L"player_state", PropertyValue::FromPropertyInterface(&player)},
                                            {L"level", PropertyValue::FromPropertyInterface(&player.bay)}});
    auto* parkName = dynamic_cast<TextLabel*>(beat->Variables()[L"park"].ToWidget<DynamicWidget>());
    ASSERT_NE(parkName, nullptr);
    EXPECT_EQ(parkName->GetText(), L"Gull Cove");
    auto* splash = beat->Variables()[L"splash"].ToWidget<DynamicWidget>();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->GetImage(), registry.FindImageByName(L"bg_splash_saltwind_bay"));
    for (const wchar_t* id : {L"level_select", L"main", L"credits"})
        EXPECT_NE(beat->Variables()[id].ToWidget<DynamicWidget>(), nullptr) << text::ToUtf8(id);

    // The transition fades the old screen's picture and takes itself away.
    auto* shot = new DynamicWidget(0, 0, nullptr, 1.0f);
    auto transition = std::make_unique<Screen>();
    transition->SetDeleteOnRemoval(false);
    transition->RegisterObject(L"screenshot", shot);
    mgr->AddWidget(transition.get());
    transition->PlayAnimationNamed(L"transition");
    for (int i = 0; i < 100 && transition->GetParent(); ++i) Tick();
    EXPECT_EQ(transition->GetParent(), nullptr);
    EXPECT_NEAR(shot->opacity, 0.0f, 0.01f);

    // A sign's type names only its scripts; its picture is the image the map gives it.
    lookups.missingImages.erase(L"map_sign");
    for (const std::wstring& image : lookups.missingImages) ADD_FAILURE() << text::ToUtf8(image);
}

TEST_F(FrontDoorScriptsTest, ButtonsShowTheirStateCels) {
    auto* button = new ButtonWidget(10, 10, L"main_button", L"main_play", true);
    mgr->AddWidget(button);
    EXPECT_EQ(button->GetLabel(), L"Play");
    EXPECT_EQ(button->GetFrame(), 0);
    const int x = 10 + button->GetWidth() / 2, y = 10 + button->GetHeight() / 2;
    mgr->WindowMouseMove(x, y);
    Tick();
    EXPECT_EQ(button->GetFrame(), 1);
    mgr->WindowMouseDown(x, y, 1);
    Tick();
    EXPECT_EQ(button->GetFrame(), 2);
    mgr->WindowMouseUp(x, y, 1);
    Tick();
    EXPECT_EQ(button->GetFrame(), 1);
    mgr->WindowMouseMove(900, 700);
    Tick();
    EXPECT_EQ(button->GetFrame(), 0);
    button->SetDisabled(true);
    EXPECT_FLOAT_EQ(button->opacity, 0.45f);
}

// A caption wider than its button's cel runs over the button's rim: every
// button a script makes with a fixed caption (a text key in a named font)
// keeps the caption inside its cel with a margin on each side.
void CollectCaptionedButtons(const std::wstring& script, const StepList& steps,
                             std::vector<std::pair<std::wstring, const AnimationStep*>>& found) {
    for (const AnimationStep& step : steps) {
        if (step.name == L"add-button") found.emplace_back(script, &step);
        CollectCaptionedButtons(script, step.children, found);
    }
}

TEST_F(FrontDoorScriptsTest, ButtonCaptionsStayInsideTheirButtons) {
    constexpr float kMargin = 8.0f;
    std::vector<std::pair<std::wstring, const AnimationStep*>> buttons;
    for (const auto& [name, definition] : AnimationLibrary()) CollectCaptionedButtons(name, definition.steps, buttons);
    auto attribute = [](const AnimationStep& step, const wchar_t* name) {
        auto it = step.attributes.find(name);
        return it == step.attributes.end() ? std::wstring() : it->second;
    };
    int measured = 0;
    for (const auto& [script, step] : buttons) {
        const std::wstring type = attribute(*step, L"type"), key = attribute(*step, L"text"),
                           font = attribute(*step, L"font");
        // Captions made by expressions, shown as given, or wrapped to a width are the screens' own.
        if (key.empty() || font.empty() || attribute(*step, L"lookup") == L"false" ||
            !attribute(*step, L"width").empty() || !LocalizationMap().count(key))
            continue;
        Image* image = registry.FindImageByName(type);
        Font* face = GetFontMap().Find(font);
        if (!image || !face) continue;
        ++measured;
        const float width = face->StringWidth(LocalizeLookup(key));
        EXPECT_LE(width + 2.0f * kMargin, static_cast<float>(image->GetCelWidth()))
            << text::ToUtf8(script) << ": \"" << text::ToUtf8(LocalizeLookup(key)) << "\" on " << text::ToUtf8(type);
    }
    EXPECT_GT(measured, 20) << "the scripts' buttons were not found";
}

// The popup's card is a button of one cel: under the pointer it keeps that
// cel, so the pointer still finds it and the popup stays while it rests there.
TEST_F(FrontDoorScriptsTest, TheItemPopupsCardStaysUnderThePointer) {
    auto* card = new ButtonWidget(10, 10, L"hud_item_popup", L"", false);
    mgr->AddWidget(card);
    ASSERT_EQ(card->GetImage(), registry.FindImageByName(L"hud_item_popup"));
    const int x = 10 + card->GetWidth() / 2, y = 10 + card->GetHeight() / 2;
    for (int step = 0; step < 4; ++step) {
        mgr->WindowMouseMove(x + step, y);
        Tick();
        EXPECT_EQ(card->GetFrame(), 0) << step;
        EXPECT_TRUE(card->GetProperty(L"mouse_over").ToBool()) << step;
    }
}

// The tutorial's message boxes as its file places them, by step, in order.
class TutorialBoxes : public Parser {
public:
    struct Box {
        std::wstring step;
        int x, y, width, height;
    };
    void ElementStart(const std::wstring& name) override {
        if (name == L"step") step_ = GetAttribute(L"name");
        if (name == L"message-box")
            boxes.push_back({step_, GetAttributeIntOr(L"x", -1), GetAttributeIntOr(L"y", -1),
                             GetAttributeIntOr(L"width", -1), GetAttributeIntOr(L"height", -1)});
    }
    std::vector<Box> boxes;

private:
    std::wstring step_;
};

// The goal card holds a goal of three lines (the first park's longest, a
// snack cart named in full with what is left to do) inside its frame, and
// what stands beside it stays clear of it: the magazine's tag beneath, and
// the tutorial's boxes from the step "navigate" on (a tutorial resumed there
// shows both, and the card is drawn in front of the display's children).
TEST_F(FrontDoorScriptsTest, TheGoalCardHoldsALongGoalClearOfTheMagazineTagAndTheLateTutorialBoxes) {
    auto screenRect = [](DynamicWidget* widget) {
        const FRect at = widget->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
        return FRect(at.x, at.y, static_cast<float>(widget->GetWidth()), static_cast<float>(widget->GetHeight()));
    };
    auto overlap = [](const FRect& a, const FRect& b) {
        return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    };
    const std::wstring goal = L"Have 1 Cotton Candy Cart snack cart in your park. (1 to go)";
    Screen* task = Run(L"show_new_goal_task", {{L"tasknum", PropertyValue(3)},
                                               {L"description", PropertyValue(goal)},
                                               {L"do_slide_out", PropertyValue(false)},
                                               {L"do_slide_in", PropertyValue(false)}});
    auto* card = task->Variables()[L"goal_card"].ToWidget<DynamicWidget>();
    auto* text = dynamic_cast<TextLabel*>(task->Variables()[L"goal_text"].ToWidget<DynamicWidget>());
    ASSERT_NE(card, nullptr);
    ASSERT_NE(text, nullptr);
    Font* face = GetFontMap().Find(L"hud_button_small");
    ASSERT_NE(face, nullptr);
    const float line = static_cast<float>(text->GetTextHeight()) / 3.0f;
    ASSERT_GT(face->StringWidth(goal), 2.0f * static_cast<float>(text->GetTextWidth())) << "not three lines";
    const float textBottom = text->GetY() + static_cast<float>(text->GetTextY()) - face->GetAscent() +
                             static_cast<float>(text->GetTextHeight());
    // Inside the frame's border, a third of a line above its lower edge.
    EXPECT_LE(textBottom + line / 3.0f, static_cast<float>(card->GetHeight()));

    Screen* magazine = Run(L"show_new_goal_magazine",
                           {{L"magazinename", PropertyValue(L"funbooks")}, {L"play_sound", PropertyValue(false)}});
    auto* tag = magazine->Variables()[L"magazine_tag"].ToWidget<DynamicWidget>();
    ASSERT_NE(tag, nullptr);
    EXPECT_GE(screenRect(tag).y, screenRect(card).y + screenRect(card).h);

    TutorialBoxes file;
    file.LoadPropertiesXml("tutorial_data.xml");
    auto navigate = std::find_if(file.boxes.begin(), file.boxes.end(),
                                 [](const TutorialBoxes::Box& box) { return box.step == L"navigate"; });
    ASSERT_NE(navigate, file.boxes.end());
    for (auto box = navigate; box != file.boxes.end(); ++box) {
        SCOPED_TRACE(text::ToUtf8(box->step));
        Screen* shown = Run(L"tutorial_add_message_box", {{L"x", PropertyValue(box->x)},
                                                          {L"y", PropertyValue(box->y)},
                                                          {L"width", PropertyValue(box->width)},
                                                          {L"height", PropertyValue(box->height)},
                                                          {L"text_label", PropertyValue(L"t_instr_" + box->step)},
                                                          {L"block_mouse", PropertyValue(false)}});
        auto* frame = shown->Variables()[L"lyr_tutorial_box"].ToWidget<DynamicWidget>();
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(overlap(screenRect(frame), screenRect(card)));
    }
}

// Too little money for another of a long-named building: what is lacking
// takes two lines, and neither runs into the words or the button beneath.
TEST_F(FrontDoorScriptsTest, TheNoMoneyDialogsTwoLinesRunIntoNothingBeneath) {
    const std::wstring what = LocalizeLookup(L"desc_another") + L" " + LocalizeLookup(L"label_teacup_twirl");
    Screen* dialog = Run(L"show_no_resources_dialog", {{L"label", PropertyValue(what)},
                                                       {L"lookup", PropertyValue(L"false")},
                                                       {L"resource", PropertyValue(L"money")}});
    auto lines = [dialog](const wchar_t* id) {
        auto* label = dynamic_cast<TextLabel*>(dialog->Variables()[id].ToWidget<DynamicWidget>());
        if (!label || !label->GetFont()) return ADD_FAILURE() << text::ToUtf8(id), std::pair{0.0f, 0.0f};
        const float top = label->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f}).y + static_cast<float>(label->GetTextY()) -
                          label->GetFont()->GetAscent();
        return std::pair{top, top + static_cast<float>(label->GetTextHeight())};
    };
    auto* ok = dialog->Variables()[L"dialog_ok"].ToWidget<DynamicWidget>();
    ASSERT_NE(ok, nullptr);
    ASSERT_GT(lines(L"dialog_what").second - lines(L"dialog_what").first, GetFontMap().Find(L"plain2")->GetHeight());
    EXPECT_LE(lines(L"dialog_what").second, lines(L"dialog_text").first);
    EXPECT_LE(lines(L"dialog_text").second, ok->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f}).y);
}

// The text's "%s" places filled in order, as a script's format() fills them.
std::wstring Filled(std::wstring text, std::initializer_list<std::wstring> values) {
    for (const std::wstring& value : values)
        if (const size_t at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

// The hint's advice is always a sentence for the player, never a text key:
// the general advice when the hint found nothing more to say, else what it
// found (the buildings counted, the zone to form, where the building comes from).
TEST_F(FrontDoorScriptsTest, TheHintAdvisesInWordsForEveryGoal) {
    struct Record : ExtendedPropertyInterface {
        PropertyValue GetProperty(std::wstring_view name) override {
            if (name == L"description") return PropertyValue(L"Form 1 zone in your park.");
            if (name == L"check" && zone) return PropertyValue(L"zones_exist");
            if (name == L"zone_name" && zone) return PropertyValue(*zone);
            if (name == L"magazine_name") return PropertyValue(L"funbooks");
            if (name == L"metal") return PropertyValue(L"silver");
            return ExtendedPropertyInterface::GetProperty(name);
        }
        std::optional<std::wstring> zone;
    } record, snackStreet, anyZone;
    snackStreet.zone = L"snack_street";
    anyZone.zone = L"";
    // The zones a park knows, as the display's list of them.
    struct Zone : ExtendedPropertyInterface {
        PropertyValue GetProperty(std::wstring_view name) override {
            return name == L"name" ? PropertyValue(L"kids_corner") : ExtendedPropertyInterface::GetProperty(name);
        }
    } kidsCorner;
    struct Zones : ExtendedPropertyInterface {
        PropertyValue GetProperty(std::wstring_view name) override {
            return name == L"0" ? PropertyValue::FromPropertyInterface(zone)
                                : ExtendedPropertyInterface::GetProperty(name);
        }
        Zone* zone = nullptr;
    } known;
    known.zone = &kidsCorner;
    const PropertyValue objective = PropertyValue::FromPropertyInterface(&record);
    const std::wstring zoneRule = LocalizeLookup(L"hint_zone");
    struct Case {
        const char* what;
        std::map<std::wstring, PropertyValue> found;
        std::wstring advice;
    };
    // A zone goal says which buildings make the zone and how near they stand.
    const std::vector<Case> cases = {
        {"nothing found", {}, LocalizeLookup(L"hint_general")},
        {"a named zone, learned",
         {{L"objective", PropertyValue::FromPropertyInterface(&snackStreet)},
          {L"learned_needed_combo", PropertyValue(true)}},
         zoneRule + L"\n" + LocalizeLookup(L"hint_zone_snack_street")},
        {"a named zone still to learn",
         {{L"objective", PropertyValue::FromPropertyInterface(&snackStreet)},
          {L"learned_needed_combo", PropertyValue(false)}},
         zoneRule + L"\n" + LocalizeLookup(L"hint_zone_snack_street")},
        {"any zone, of those the park knows",
         {{L"objective", PropertyValue::FromPropertyInterface(&anyZone)},
          {L"known_zones", PropertyValue::FromPropertyInterface(&known)},
          {L"known_zone_count", PropertyValue(1)}},
         zoneRule + L"\n" + LocalizeLookup(L"hint_zone_kids_corner")},
        {"buildings counted",
         {{L"number_already_built", PropertyValue(2)}},
         text::WFormat(LocalizeLookup(L"hint_built").c_str(), 2)},
        {"a building won with a trophy",
         {{L"source", PropertyValue(L"reward")}, {L"challenge", objective}},
         Filled(LocalizeLookup(L"hint_source_reward"),
                {LocalizeLookup(L"magazine_funbooks"), LocalizeLookup(L"goal_silver")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::map<std::wstring, PropertyValue> variables = c.found;
        variables.emplace(L"objective", objective);
        Screen* hint = Run(L"show_hint", variables);
        auto* advice = dynamic_cast<TextLabel*>(hint->Variables()[L"hint_advice"].ToWidget<DynamicWidget>());
        ASSERT_NE(advice, nullptr);
        EXPECT_EQ(advice->GetText(), c.advice);
        EXPECT_FALSE(LocalizationMap().count(advice->GetText())) << "a key shown as it is";
    }
}

// The trophy's prizes read as the player's texts, a new building on a line
// of its own, never the texts' line-break markup.
TEST_F(FrontDoorScriptsTest, TheTrophySplashListsItsPrizesInWords) {
    Screen* splash = Run(L"show_won_trophy_splash", {{L"trophychal", PropertyValue(L"silver")},
                                                     {L"trophymag", PropertyValue(L"funbooks")},
                                                     {L"heartprize", PropertyValue(5)},
                                                     {L"buildingprize", PropertyValue(L"fountain")}});
    auto* prizes = dynamic_cast<TextLabel*>(splash->Variables()[L"trophy_prizes"].ToWidget<DynamicWidget>());
    ASSERT_NE(prizes, nullptr);
    EXPECT_EQ(prizes->GetText(), text::WFormat(LocalizeLookup(L"prize_hearts").c_str(), 5) + L"\n" +
                                     Filled(LocalizeLookup(L"prize_building"), {LocalizeLookup(L"label_fountain")}));
}

// What the screen classes look up themselves, outside the scripts.
TEST_F(FrontDoorScriptsTest, NamesTheScreensAskForAreRegistered) {
    for (const wchar_t* image :
         {L"TitleBackground", L"GameLogo", L"Loadingbar_base", L"Loadingbar_Top", L"PlayGame", L"EnterName",
          L"EnterNameOk", L"Dialog", L"Slider", L"Slider_Thumb", L"check_box", L"check_box_checked"})
        EXPECT_NE(registry.FindImageByName(image), nullptr) << text::ToUtf8(image);
    // The play button's three looks side by side, centred by the title screen at width / 2 - 133.
    ASSERT_NE(registry.FindImageByName(L"PlayGame"), nullptr);
    EXPECT_EQ(registry.FindImageByName(L"PlayGame")->GetCelWidth(), 266);
    // The options dialog holds its last check box (y 362) and the buttons.
    EXPECT_GE(registry.FindImageByName(L"Dialog")->GetCelHeight(), 460);
    for (const wchar_t* sound : {L"feedback_general", L"Button", L"Highlight"})
        EXPECT_GE(registry.FindSoundId(sound), 0) << text::ToUtf8(sound);
    EXPECT_TRUE(ConstantsMap().count(L"enter_name_cursor"));
    EXPECT_GT(GetConstantInt(L"dialog_fade_time"), 0);
    for (const wchar_t* key : {L"enter_name_menu",
                               L"enter_name_full",
                               L"profile_none_chosen_title",
                               L"profile_none_chosen_text",
                               L"no_name",
                               L"enter_your_name",
                               L"elapsed_time",
                               L"delete_title",
                               L"delete_text",
                               L"delete_confirm",
                               L"delete_cancel",
                               L"music_volume",
                               L"sound_volume",
                               L"mouse_speed",
                               L"custom_cursors",
                               L"full_screen",
                               L"stretch_screen",
                               L"no_windowed_mode_title",
                               L"no_windowed_mode_text",
                               L"quit_title",
                               L"quit_text",
                               L"quit_confirm",
                               L"quit_cancel",
                               L"parks_soon_title",
                               L"parks_soon_text",
                               L"profiles_full_title",
                               L"profiles_full_text"})
        EXPECT_TRUE(LocalizationMap().count(key)) << text::ToUtf8(key);
}

// The scripts the park and its display run by name: a missing one leaves a
// button or a refresh doing nothing.
TEST_F(FrontDoorScriptsTest, EveryScriptTheParkAndItsDisplayRunByNameIsShipped) {
    const std::wstring names =
        L"ui item_popup on_item_popup_show on_item_popup_hide show_hint nightfall nightfall_callback week_start_shared "
        L"full_happiness_callback request_naming refresh_level_display_name close_park_naming "
        L"show_new_goal_task show_new_goal_magazine show_goals_menu close_goals_menu show_goals_detail "
        L"show_goals_list_data show_present_goal_data show_won_trophy show_won_trophy_splash "
        L"go_goals_from_trophy_won show_build_toolbar show_build_menu show_building_data "
        L"show_purchase_special show_research_menu close_research_menu purchased_research_callback "
        L"finished_research_callback enable_background show_marketing_menu show_marketing_visitors "
        L"market_to_visitor_callback refresh_marketing_menu_slot_data show_popup_building_upgrades "
        L"build_building_upgrades_data boost_or_upgrade_change_callback show_no_resources_dialog "
        L"brand_new_zone_callback close_brand_new_zone_callback new_building_hover_callback "
        L"new_building_place_callback new_building_place_and_stop_callback new_building_cancel_callback "
        L"paint_sidewalk_callback cancel_sidewalk_callback confirm_remove_building "
        L"remove_building_callback end_cannot_place_callback tutorial_wait tutorial_add_message_box "
        L"tutorial_remove_message_box tutorial_add_skip_button tutorial_remove_skip_button "
        L"end_tutorial_callback gate_opened_callback ";
    std::wistringstream words(names);
    for (std::wstring script; words >> script;) EXPECT_TRUE(AnimationExists(script)) << text::ToUtf8(script);
}

// The park's scenes: the week's start sets and runs the timer and asks for
// the visitors; the night reviews the week, opens the park and ends at
// sunrise with the signals the display answers; a visitor's heart and the
// indicators find their pictures and go by themselves.
TEST_F(FrontDoorScriptsTest, TheParksScenesSignalTheWeekAndGoByThemselves) {
    struct Signals : AnimationListener {
        void AnimationSignal(int, std::wstring_view signal) override { heard.emplace_back(signal); }
        std::vector<std::wstring> heard;
    } display;
    struct Week : ExtendedPropertyInterface {
        PropertyValue GetProperty(std::wstring_view name) override {
            if (name == L"week_stats") return PropertyValue::FromPropertyInterface(this);
            if (name == L"money_earned") return PropertyValue(1250);
            if (name == L"finished_tutorial") return PropertyValue(lessonsDone);
            return PropertyValue(0);
        }
        bool lessonsDone = false;
    } player;
    const PropertyValue state = PropertyValue::FromPropertyInterface(&player);
    struct Park : DynamicWidget {
        Park() : DynamicWidget(0, 0, nullptr, 1.0f) {}
        float* GetPropertyPtr(std::wstring_view name, uint32_t& mask) override {
            return name == L"week_timer" ? &timer : DynamicWidget::GetPropertyPtr(name, mask);
        }
        float timer = 0.0f;
    };
    auto* grid = new Park();
    mgr->AddWidget(grid);
    // A screen the display listens to, running the script.
    std::vector<std::unique_ptr<Screen>> kept;
    const auto watched = [&](const wchar_t* script, const std::map<std::wstring, PropertyValue>& variables) {
        auto* screen = kept.emplace_back(std::make_unique<Screen>()).get();
        screen->SetDeleteOnRemoval(false);
        for (const auto& [name, value] : variables) screen->SetVariable(name, value);
        display.Watch(screen);
        mgr->AddWidget(screen);
        screen->PlayAnimationNamed(script);
        return screen;
    };
    watched(L"week_start_shared", {{L"grid", PropertyValue::FromWidget(grid)}, {L"player_state", state}});
    const auto week = static_cast<float>(GetConstantInt(L"week_duration"));
    EXPECT_GT(week, 0.0f);
    EXPECT_FLOAT_EQ(grid->timer, week);
    // The tutorial's lessons hold the park: no night may fall in the middle of one.
    for (int i = 0; i < 10; ++i) Tick();
    EXPECT_FLOAT_EQ(grid->timer, week);
    player.lessonsDone = true;
    Tick();
    Tick();
    EXPECT_LT(grid->timer, week);

    Screen* night = watched(L"nightfall", {{L"player_state", state}});
    for (int i = 0; i < 130; ++i) Tick();
    auto* money = dynamic_cast<TextLabel*>(night->Variables()[L"review_money"].ToWidget<DynamicWidget>());
    ASSERT_NE(money, nullptr);
    EXPECT_EQ(money->GetText(), L"Money earned: 1250");
    night->PlayAnimationNamed(L"nightfall_review_done");
    EXPECT_NE(night->Variables()[L"sunrise"].ToWidget<DynamicWidget>(), nullptr);
    night->PlayAnimationNamed(L"nightfall_sunrise");
    for (int i = 0; i < 130 && night->GetParent(); ++i) Tick();
    EXPECT_EQ(night->GetParent(), nullptr);
    EXPECT_EQ(display.heard,
              (std::vector<std::wstring>{L"add_customer_spawner", L"remove_customer_spawner", L"save_level",
                                         L"finish_reviewing_week_action", L"finish_sunrise", L"save_level"}));

    // The heart and the indicators leave once they are done.
    std::vector<Screen*> popups;
    for (const wchar_t* name : {L"building_connected", L"full_happiness_callback", L"building_unreachable"})
        popups.push_back(watched(name, {{L"do_fade", PropertyValue(true)}}));
    popups.back()->SetVariable(L"is_reachable", PropertyValue(true));
    for (int i = 0; i < 300; ++i) Tick();
    for (Screen* popup : popups) EXPECT_EQ(popup->GetParent(), nullptr);
    EXPECT_TRUE(lookups.missingImages.empty()) << text::ToUtf8(*lookups.missingImages.begin());
    EXPECT_TRUE(lookups.missingSounds.empty()) << text::ToUtf8(*lookups.missingSounds.begin());
}

}  // namespace
