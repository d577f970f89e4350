#pragma once
// The reader of properties/assets.xml. The file has three sections: "intro"
// (the splash screens' assets, released once the title screen is done),
// "persistent" (kept for the whole run) and "game" (everything else). The
// application reads it twice: in intro mode at start-up, which loads the
// intro and persistent sections and counts the files of the game section
// (the loading bar's share), and in game mode on the loading thread, which
// loads the game section, one loading step per file, and resolves the
// aliases. Game-section assets whose path contains a text of a `dynamic`
// element are not loaded then: their records wait for a group load.
//
// Built and destroyed at once: the constructor does all the work, the
// registry keeps everything. Main thread (intro mode) or the loading thread
// (game mode).

#include <string>
#include <vector>

#include "app/assets/asset_records.h"
#include "foundation/files/parser.h"

class AssetRegistry;

class AssetManager : public Parser {
public:
    static constexpr const char* kFileName = "properties/assets.xml";

    AssetManager(AssetRegistry& registry, bool introMode, const std::string& path = kFileName);

    // The files of the images the same pass would load now, in its order,
    // read without loading or registering anything.
    static std::vector<std::string> ImagePaths(bool introMode, const std::string& path = kFileName);

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
    AssetManager(AssetRegistry* registry, bool introMode, const std::string& path, std::vector<std::string>* listed);

    AssetRegistry* registry_;
    bool introMode_;
    std::vector<std::string>* listed_ = nullptr;
    int fileCount_ = 0;
    std::vector<std::string> dynamicTexts_;
    int section_ = kIntro;
    bool inImage_ = false;
    ImageRecord image_;
};
