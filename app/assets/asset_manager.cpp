#include "app/assets/asset_manager.h"

#include "app/assets/asset_registry.h"
#include "foundation/system/app_services.h"
#include "foundation/system/text.h"

namespace {

constexpr const wchar_t* kAtlasSuffix = L"____ATLAS";

}  // namespace

AssetManager::AssetManager(AssetRegistry& registry, bool introMode, const std::string& path)
    : AssetManager(&registry, PassOf(introMode), path, nullptr) {}

AssetManager::AssetManager(AssetRegistry& registry, Pass pass, const std::string& path)
    : AssetManager(&registry, pass, path, nullptr) {}

AssetManager::AssetManager(AssetRegistry* registry, Pass pass, const std::string& path,
                           std::vector<std::string>* listed)
    : registry_(registry), pass_(pass), listed_(listed) {
    ParseFile(path);
    if (pass_ == Pass::kGame && !listed_) registry_->ResolveAliases();
}

std::vector<std::string> AssetManager::ImagePaths(bool introMode, const std::string& path) {
    return ImagePaths(PassOf(introMode), path);
}

std::vector<std::string> AssetManager::ImagePaths(Pass pass, const std::string& path) {
    std::vector<std::string> paths;
    AssetManager listing(nullptr, pass, path, &paths);
    return paths;
}

bool AssetManager::Handles() const {
    switch (pass_) {
        case Pass::kIntro: return section_ != kGame;
        case Pass::kGame: return section_ == kGame;
        case Pass::kStartScreens: return section_ == kIntro;
        case Pass::kPersistent: return section_ == kPersistent;
    }
    return false;
}

bool AssetManager::IsDynamic(const std::string& path) const {
    if (section_ != kGame) return false;
    for (const std::string& text : dynamicTexts_)
        if (path.find(text) != std::string::npos) return true;
    return false;
}

std::string AssetManager::ItemPath() const {
    return text::ToUtf8(GetAttribute(L"path") + L"/" + GetAttribute(L"name"));
}

int AssetManager::ImageFlags() const {
    int flags = 0;
    if (GetAttribute(L"minsubdivide") == L"true") flags |= 0x01;
    const std::wstring& single = GetAttribute(L"singleframe");
    if (single == L"true" || single == L"palette") flags |= 0x09;
    if (single == L"palette") flags |= 0x50;
    const std::wstring& format = GetAttribute(L"format");
    if (format == L"A8R8G8B8") flags |= 0x20;
    if (format == L"A4R4G4B4") flags |= 0x40;
    return flags;
}

void AssetManager::ElementStart(const std::wstring& name) {
    if (name == L"intro") {
        section_ = kIntro;
    } else if (name == L"persistent") {
        section_ = kPersistent;
    } else if (name == L"game") {
        section_ = kGame;
        if (Counts() && HasAttribute(L"files")) {
            // The file states its own count: nothing more to read in this pass.
            fileCount_ += GetAttributeInt(L"files");
            stop_ = true;
        }
    } else if (name == L"dynamic") {
        dynamicTexts_.push_back(text::ToUtf8(GetAttribute(L"path")));
    } else if (name == L"alias") {
        if (pass_ != Pass::kGame || section_ != kGame || listed_) return;
        if (HasAttribute(L"image"))
            registry_->DeclareImageAlias(GetAttribute(L"name"), GetAttribute(L"image"));
        else
            registry_->DeclareSoundAlias(GetAttribute(L"name"), GetAttribute(L"sound"));
    } else if (name == L"image") {
        StartImage();
    } else if (name == L"piece") {
        if (!inImage_) return;
        AssetPiece piece;
        piece.name = GetAttribute(L"name");
        piece.cols = GetAttributeIntOr(L"cols", 1);
        piece.rows = GetAttributeIntOr(L"rows", 1);
        if (piece.name == image_.name) image_.name += kAtlasSuffix;
        image_.pieces.push_back(std::move(piece));
    } else if (name == L"frame") {
        if (!inImage_ || image_.pieces.empty()) return;
        AssetFrame frame;
        frame.width = GetAttributeFloat(L"width");
        frame.height = GetAttributeFloat(L"height");
        frame.destOffsetX = GetAttributeFloat(L"dest-offset-x");
        frame.destOffsetY = GetAttributeFloat(L"dest-offset-y");
        frame.sourceX = GetAttributeFloat(L"source-x");
        frame.sourceY = GetAttributeFloat(L"source-y");
        frame.sourceWidth = GetAttributeFloat(L"source-width");
        frame.sourceHeight = GetAttributeFloat(L"source-height");
        image_.pieces.back().frames.push_back(frame);
    } else if (name == L"sound") {
        ReadSound(false);
    } else if (name == L"track") {
        ReadSound(true);
    }
}

void AssetManager::ElementEnd(const std::wstring& name) {
    if (name == L"image") EndImage();
}

void AssetManager::StartImage() {
    image_ = ImageRecord{};
    image_.path = ItemPath();
    image_.name = GetAttribute(L"name");
    image_.cols = GetAttributeIntOr(L"cols", 1);
    image_.rows = GetAttributeIntOr(L"rows", 1);
    image_.premultiply = GetAttributeBoolOr(L"premultiply", true);
    image_.flags = ImageFlags();
    inImage_ = true;
}

void AssetManager::EndImage() {
    if (!inImage_) return;
    inImage_ = false;
    const bool dynamic = IsDynamic(image_.path);
    if (Counts() && section_ == kGame) {
        if (!dynamic) ++fileCount_;
        return;
    }
    if (!Handles()) return;
    if (listed_) {
        if (!dynamic) listed_->push_back(image_.path);
        return;
    }
    if (dynamic) {
        registry_->DeferImage(image_);
        return;
    }
    registry_->AddImage(image_, section_ == kIntro);
    if (pass_ == Pass::kGame) AdvanceLoadingStep();
}

void AssetManager::ReadSound(bool track) {
    SoundRecord record;
    record.path = ItemPath();
    record.name = GetAttribute(L"name");
    const bool dynamic = IsDynamic(record.path);
    if (Counts() && section_ == kGame) {
        if (!dynamic) ++fileCount_;
        return;
    }
    if (!Handles() || listed_) return;
    if (track)
        registry_->AddTrack(std::move(record), dynamic);
    else
        registry_->AddSound(std::move(record), section_ == kIntro, dynamic);
    if (pass_ == Pass::kGame && !dynamic) AdvanceLoadingStep();
}
