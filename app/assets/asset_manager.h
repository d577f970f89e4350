#pragma once
// The reader of properties/assets.xml. The file has three sections: "intro"
// (the splash screens' assets, released once the title screen is done),
// "persistent" (kept for the whole run) and "game" (everything else). Intro
// mode loads the intro and persistent sections and counts the files of the
// game section (the loading bar's share); game mode loads the game section,
// one loading step per file, and resolves the aliases. The application
// splits intro mode in two: at start-up it reads the intro section alone,
// all the logo needs before its first frame, and the persistent section
// follows on the loading thread ahead of the game section. Game-section
// assets whose path contains a text of a `dynamic` element are not loaded
// then: their records wait for a group load.
//
// Built and destroyed at once: the constructor does all the work, the
// registry keeps everything. Main thread (intro section) or the loading
// thread (game section); the persistent section on either.

#include <string>
#include <vector>

#include "app/assets/asset_records.h"
#include "foundation/files/parser.h"

class AssetRegistry;

class AssetManager : public Parser {
public:
    static constexpr const char* kFileName = "properties/assets.xml";

    // The sections one reading loads.
    enum class Pass {
        kIntro,         // intro and persistent, counting the game section's files (intro mode)
        kGame,          // game (game mode)
        kStartScreens,  // intro alone, counting as intro mode does
        kPersistent,    // persistent alone
    };

    AssetManager(AssetRegistry& registry, bool introMode, const std::string& path = kFileName);
    AssetManager(AssetRegistry& registry, Pass pass, const std::string& path = kFileName);

    // The files of the images the same pass would load now, in its order,
    // read without loading or registering anything.
    static std::vector<std::string> ImagePaths(bool introMode, const std::string& path = kFileName);
    static std::vector<std::string> ImagePaths(Pass pass, const std::string& path = kFileName);

    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;

    // The loading steps the game pass will take (intro mode).
    int GetFileCount() const { return fileCount_; }

    enum Section { kIntro = 0, kPersistent = 1, kGame = 2 };

private:
    bool Handles() const;
    bool IsDynamic(const std::string& path) const;
    std::string ItemPath() const;
    void StartImage();
    void EndImage();
    void ReadSound(bool track);
    int ImageFlags() const;

    // Only lists the images' files into `listed`.
    AssetManager(AssetRegistry* registry, Pass pass, const std::string& path, std::vector<std::string>* listed);

    static Pass PassOf(bool introMode) { return introMode ? Pass::kIntro : Pass::kGame; }
    // Whether the pass counts the game section's files rather than loading them.
    bool Counts() const { return pass_ == Pass::kIntro || pass_ == Pass::kStartScreens; }

    AssetRegistry* registry_;
    Pass pass_;
    std::vector<std::string>* listed_ = nullptr;
    int fileCount_ = 0;
    std::vector<std::string> dynamicTexts_;
    int section_ = kIntro;
    bool inImage_ = false;
    ImageRecord image_;
};
