// The registries: lookups, loading by record, aliases, groups and unloading.
#include "app/assets/asset_registry.h"

#include <algorithm>

#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "rendering/image/image_atlas_region.h"
#include "rendering/image/image_surface.h"

namespace {

AssetRegistry* instance = nullptr;

SoundManager& Sounds() { return Service<SoundManager>::Get(); }
TrackInterface& Tracks() { return Service<TrackInterface>::Get(); }

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

// A chain of piece aliases longer than the table cannot be a real one.
constexpr int kMaxAliasHops = 16;

}  // namespace

std::wstring TrackVolumeName(std::string_view path) {
    if (path.size() <= 7) return {};
    std::string_view rest = path.substr(7);
    const size_t slash = rest.find('/');
    if (slash != std::string_view::npos) rest = rest.substr(0, slash);
    return text::FromUtf8(rest);
}

AssetRegistry::AssetRegistry(AssetHost* host) : host_(host ? *host : ownHost_) { instance = this; }

AssetRegistry::~AssetRegistry() {
    UnloadAllAssets();
    if (instance == this) instance = nullptr;
}

AssetRegistry* AssetRegistry::Instance() { return instance; }

// --- Lookups -------------------------------------------------------------------

Image* AssetRegistry::FindImageByName(std::wstring_view name) {
    ScopedCriticalSection lock(imageLock_);
    auto found = images_.find(name);
    return found != images_.end() ? found->second : nullptr;
}

int AssetRegistry::FindSoundId(std::wstring_view name) {
    ScopedCriticalSection lock(soundLock_);
    auto found = sounds_.find(name);
    return found != sounds_.end() ? found->second : -1;
}

int AssetRegistry::FindTrackId(std::wstring_view name) {
    ScopedCriticalSection lock(trackLock_);
    auto found = tracks_.find(name);
    return found != tracks_.end() ? found->second : -1;
}

size_t AssetRegistry::CountImages() {
    ScopedCriticalSection lock(imageLock_);
    return images_.size();
}

size_t AssetRegistry::CountSounds() {
    ScopedCriticalSection lock(soundLock_);
    return sounds_.size();
}

size_t AssetRegistry::CountTracks() {
    ScopedCriticalSection lock(trackLock_);
    return tracks_.size();
}

Image* AssetRegistry::RegisterImageEntry(std::wstring_view name, std::string_view path) {
    if (Image* known = FindImageByName(name)) return known;
    ImageRecord record;
    record.name = std::wstring(name);
    record.path = std::string(path);
    std::unique_ptr<ImageSurface> loaded = host_.LoadImageFile(record);
    ScopedCriticalSection lock(imageLock_);
    // Another thread may have registered the name while this one decoded.
    auto found = images_.find(name);
    if (found != images_.end()) return found->second;
    return RegisterLoadedLocked(record.name, std::move(loaded));
}

// --- Images --------------------------------------------------------------------

Image* AssetRegistry::LoadImageLocked(const ImageRecord& record) {
    return RegisterLoadedLocked(record.name, host_.LoadImageFile(record));
}

Image* AssetRegistry::RegisterLoadedLocked(const std::wstring& name, std::unique_ptr<ImageSurface> loaded) {
    if (!loaded) return nullptr;
    ImageSurface* atlas = loaded.get();
    // A name registered again replaces the image it stood for.
    auto previous = images_.find(name);
    if (previous != images_.end()) DropImageLocked(previous->second);
    images_[name] = atlas;
    ownedImages_[atlas] = std::move(loaded);
    if (atlas->HasCelData()) {
        for (const CelDataRecord& piece : atlas->GetCelData()) {
            auto old = images_.find(piece.name);
            if (old != images_.end()) DropImageLocked(old->second);
            auto image = std::make_unique<ImageAtlasPiece>(atlas, piece.name);
            images_[piece.name] = image.get();
            ownedImages_[image.get()] = std::move(image);
        }
    }
    return atlas;
}

// Every name that stands for the image goes with it.
void AssetRegistry::DropImageLocked(Image* image) {
    for (auto it = images_.begin(); it != images_.end();) {
        if (it->second == image)
            it = images_.erase(it);
        else
            ++it;
    }
    ownedImages_.erase(image);
}

std::wstring AssetRegistry::FollowPieceAliases(std::wstring_view name) const {
    std::wstring final(name);
    for (int hop = 0; hop < kMaxAliasHops; ++hop) {
        auto alias = pieceAliases_.find(final);
        if (alias == pieceAliases_.end() || alias->second == final) break;
        final = alias->second;
    }
    return final;
}

void AssetRegistry::UnloadImageLocked(std::wstring_view name) {
    auto found = images_.find(FollowPieceAliases(name));
    if (found == images_.end()) return;
    Image* image = found->second;
    if (auto* atlas = dynamic_cast<ImageSurface*>(image); atlas && atlas->HasCelData()) {
        for (const CelDataRecord& piece : atlas->GetCelData()) {
            auto pieceImage = images_.find(piece.name);
            if (pieceImage == images_.end()) continue;
            auto* owned = dynamic_cast<ImageAtlasPiece*>(pieceImage->second);
            if (owned && owned->GetAtlas() == atlas) DropImageLocked(owned);
        }
    }
    DropImageLocked(image);
}

bool AssetRegistry::AddImage(const ImageRecord& record, bool intro) {
    // Decoded before the lock is taken, so lookups from the main thread never
    // wait for a file.
    std::unique_ptr<ImageSurface> loaded = host_.LoadImageFile(record);
    ScopedCriticalSection lock(imageLock_);
    Image* image = RegisterLoadedLocked(record.name, std::move(loaded));
    if (image && intro) introImages_.push_back(record.name);
    return image != nullptr;
}

void AssetRegistry::DeferImage(const ImageRecord& record) {
    ScopedCriticalSection lock(imageLock_);
    deferredImages_[record.name] = record;
    for (const AssetPiece& piece : record.pieces)
        if (!piece.name.empty() && piece.name != record.name) pieceAliases_[piece.name] = record.name;
}

// --- Sounds and tracks ---------------------------------------------------------

// The count of records and registered names as the first guess, as declared
// ids were always numbered, but never an id handed out before: a name
// declared twice would otherwise give the next sound its id.
int AssetRegistry::ReserveSoundIdLocked() {
    const int counted = static_cast<int>(deferredSounds_.size() + sounds_.size()) + 1;
    const int id = std::max(counted, nextSoundId_);
    nextSoundId_ = id + 1;
    return id;
}

int AssetRegistry::ReserveTrackIdLocked() {
    const int counted = static_cast<int>(deferredTracks_.size() + tracks_.size()) + 1;
    const int id = std::max(counted, nextTrackId_);
    nextTrackId_ = id + 1;
    return id;
}

int AssetRegistry::LoadSoundLocked(const SoundRecord& record) {
    return Sounds().LoadSound(record.id, record.path) ? record.id : -1;
}

int AssetRegistry::LoadTrackLocked(const SoundRecord& record) {
    TrackInterface& tracks = Tracks();
    if (tracks.LoadTrack(record.id, record.path + ".ogg", record.volumeName)) return record.id;
    if (tracks.LoadTrack(record.id, record.path + ".mp3", record.volumeName)) return record.id;
    return -1;
}

void AssetRegistry::AddSound(SoundRecord record, bool intro, bool deferred) {
    ScopedCriticalSection lock(soundLock_);
    record.id = ReserveSoundIdLocked();
    if (deferred) {
        deferredSounds_[record.name] = record;
        return;
    }
    // A name declared again gives up the sound it had.
    auto previous = sounds_.find(record.name);
    if (previous != sounds_.end() && previous->second >= 0) Sounds().ReleaseSound(previous->second);
    sounds_[record.name] = LoadSoundLocked(record);
    if (intro) introSounds_.push_back(record.name);
}

void AssetRegistry::AddTrack(SoundRecord record, bool deferred) {
    ScopedCriticalSection lock(trackLock_);
    record.id = ReserveTrackIdLocked();
    record.volumeName = TrackVolumeName(record.path);
    host_.RegisterTrackVolume(record.volumeName);
    if (deferred) {
        deferredTracks_[record.name] = record;
        return;
    }
    auto previous = tracks_.find(record.name);
    if (previous != tracks_.end() && previous->second >= 0) Tracks().UnloadTrack(previous->second);
    tracks_[record.name] = LoadTrackLocked(record);
}

// --- Aliases -------------------------------------------------------------------

void AssetRegistry::DeclareImageAlias(const std::wstring& name, const std::wstring& target) {
    ScopedCriticalSection lock(imageLock_);
    imageAliases_[name] = target;
}

void AssetRegistry::DeclareSoundAlias(const std::wstring& name, const std::wstring& target) {
    ScopedCriticalSection lock(soundLock_);
    soundAliases_[name] = target;
}

void AssetRegistry::ResolveAliases() {
    {
        ScopedCriticalSection lock(imageLock_);
        for (const auto& [alias, target] : imageAliases_) {
            auto found = images_.find(target);
            if (found != images_.end()) images_[alias] = found->second;
        }
    }
    ScopedCriticalSection lock(soundLock_);
    for (const auto& [alias, target] : soundAliases_) {
        auto found = sounds_.find(target);
        if (found != sounds_.end()) sounds_[alias] = found->second;
    }
}

// --- Groups --------------------------------------------------------------------

void AssetRegistry::CollectAssetsMatching(std::wstring_view text, AssetNameSets& group) {
    {
        ScopedCriticalSection lock(imageLock_);
        for (const auto& [name, record] : deferredImages_)
            if (name.find(text) != std::wstring::npos) group.images.insert(name);
        for (const auto& [piece, atlas] : pieceAliases_)
            if (piece.find(text) != std::wstring::npos) group.images.insert(atlas);
    }
    {
        ScopedCriticalSection lock(soundLock_);
        for (const auto& [name, record] : deferredSounds_)
            if (name.find(text) != std::wstring::npos) group.sounds.insert(name);
    }
    ScopedCriticalSection lock(trackLock_);
    for (const auto& [name, record] : deferredTracks_)
        if (name.find(text) != std::wstring::npos) group.tracks.insert(name);
}

void AssetRegistry::LoadDynamicAssets(const AssetNameSets& group, const std::atomic<bool>* cancel) {
    {
        ScopedCriticalSection lock(imageLock_);
        for (const std::wstring& member : group.images) {
            if (Cancelled(cancel)) return;
            const std::wstring final = FollowPieceAliases(member);
            if (images_.count(final)) continue;
            auto record = deferredImages_.find(final);
            if (record == deferredImages_.end()) continue;
            LoadImageLocked(record->second);
        }
    }
    {
        ScopedCriticalSection lock(soundLock_);
        for (const std::wstring& member : group.sounds) {
            if (Cancelled(cancel)) return;
            if (sounds_.count(member)) continue;
            auto record = deferredSounds_.find(member);
            if (record != deferredSounds_.end()) sounds_[member] = LoadSoundLocked(record->second);
        }
    }
    ScopedCriticalSection lock(trackLock_);
    for (const std::wstring& member : group.tracks) {
        if (Cancelled(cancel)) return;
        if (tracks_.count(member)) continue;
        auto record = deferredTracks_.find(member);
        if (record != deferredTracks_.end()) tracks_[member] = LoadTrackLocked(record->second);
    }
}

void AssetRegistry::UnloadDynamicAssets(const AssetNameSets& group, const std::atomic<bool>* cancel) {
    {
        ScopedCriticalSection lock(imageLock_);
        for (const std::wstring& member : group.images) {
            if (Cancelled(cancel)) return;
            UnloadImageLocked(member);
        }
    }
    {
        ScopedCriticalSection lock(soundLock_);
        for (const std::wstring& member : group.sounds) {
            if (Cancelled(cancel)) return;
            auto found = sounds_.find(member);
            if (found == sounds_.end()) continue;
            if (found->second >= 0) Sounds().ReleaseSound(found->second);
            sounds_.erase(found);
        }
    }
    ScopedCriticalSection lock(trackLock_);
    for (const std::wstring& member : group.tracks) {
        if (Cancelled(cancel)) return;
        auto found = tracks_.find(member);
        if (found == tracks_.end()) continue;
        if (found->second >= 0) Tracks().UnloadTrack(found->second);
        tracks_.erase(found);
    }
}

// --- Release -------------------------------------------------------------------

void AssetRegistry::DrainPendingAssets() {
    {
        ScopedCriticalSection lock(imageLock_);
        for (const std::wstring& name : introImages_) UnloadImageLocked(name);
        introImages_.clear();
    }
    ScopedCriticalSection lock(soundLock_);
    for (const std::wstring& name : introSounds_) {
        auto found = sounds_.find(name);
        if (found == sounds_.end()) continue;
        if (found->second >= 0) Sounds().ReleaseSound(found->second);
        sounds_.erase(found);
    }
    introSounds_.clear();
}

void AssetRegistry::UnloadAllAssets() {
    ScopedCriticalSection images(imageLock_);
    ScopedCriticalSection sounds(soundLock_);
    ScopedCriticalSection tracks(trackLock_);
    images_.clear();
    ownedImages_.clear();
    imageAliases_.clear();
    introImages_.clear();
    // An alias shares its target's id: released once, through the target.
    for (const auto& [alias, target] : soundAliases_) sounds_.erase(alias);
    soundAliases_.clear();
    for (const auto& [name, id] : sounds_)
        if (id >= 0) Sounds().ReleaseSound(id);
    sounds_.clear();
    introSounds_.clear();
    for (const auto& [name, id] : tracks_)
        if (id >= 0) Tracks().UnloadTrack(id);
    tracks_.clear();
}
