#pragma once
// The registries of named assets: images, sounds and music tracks, each
// guarded by its own lock. assets.xml (asset_manager.h) fills them; scripts,
// buttons, screens and fonts find assets by name; screens load and unload
// groups of assets declared for later ("dynamic" assets), and the intro-only
// assets are released once the title screen is done.
//
// Owns: every image it registers (loaded files, the pieces of atlases, font
// pages) and the records of assets not loaded yet. Sounds and tracks are ids
// of the sound manager and the music interface (reached through Service<X>);
// -1 marks one whose file failed, and a name not registered is answered
// with null or -1 alike.
// Promises: the locks are only ever taken in the order images, sounds,
// tracks, so the loading thread and the main thread never deadlock; an alias
// of a name that is not registered registers nothing; unloading an image
// removes every name that stood for it (aliases, atlas pieces), so no name
// is left pointing at a deleted image; a reserved id is never handed out
// twice; files are decoded outside the locks when assets.xml is read, so a
// lookup never waits for one. Callers must not keep an image pointer past the
// unloading of its group or of all assets, and must destroy the registry
// before the sound manager and music interface it releases through.
// One registry per process: the application owns it and wires its image side
// for the fonts (ServiceWiring::WireImageRegistry); Instance() answers it, and
// the application answers the lower layers' lookups by name from it.

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/assets/asset_host.h"
#include "app/assets/asset_records.h"
#include "foundation/system/critical_section.h"
#include "rendering/image/image_registry_host.h"
#include "widgets/script/animation_stats.h"

class Image;
class ImageSurface;

class AssetRegistry : public ImageRegistryHost {
public:
    // With no host, a plain AssetHost (images decoded from files, no volume table).
    explicit AssetRegistry(AssetHost* host = nullptr);
    ~AssetRegistry() override;
    AssetRegistry(const AssetRegistry&) = delete;
    AssetRegistry& operator=(const AssetRegistry&) = delete;

    // The process's registry, or null when none exists.
    static AssetRegistry* Instance();

    // Lookups: null or -1 when the name is not registered.
    Image* FindImageByName(std::wstring_view name);
    int FindSoundId(std::wstring_view name);
    int FindTrackId(std::wstring_view name);

    // ImageRegistryHost: font pages.
    Image* RegisterImageEntry(std::wstring_view name, std::string_view path) override;

    // Adds to the group every deferred image, track and sound whose name
    // contains the text, and the atlas of every deferred piece that does.
    void CollectAssetsMatching(std::wstring_view text, AssetNameSets& group);
    // Loads the members of the group that are not loaded yet, from their
    // deferred records; a piece loads its whole atlas. The flag, when given,
    // is tested before each member and stops the work when set.
    void LoadDynamicAssets(const AssetNameSets& group, const std::atomic<bool>* cancel);
    // Unloads every member of the group that is registered.
    void UnloadDynamicAssets(const AssetNameSets& group, const std::atomic<bool>* cancel);
    // Releases the images and sounds of the intro section.
    void DrainPendingAssets();
    // Frees everything (the application's end).
    void UnloadAllAssets();

    // --- Used by the assets.xml reader ---------------------------------------
    // Loads and registers an image (and its atlas pieces); an intro image is
    // queued for release. False when the file failed (nothing registered).
    bool AddImage(const ImageRecord& record, bool intro);
    // Keeps the record for a later group load; its pieces find their atlas.
    void DeferImage(const ImageRecord& record);
    // Declares a sound or track: reserves its id, then loads it (the registry
    // gets the id, or -1 when the file failed) or, deferred, keeps the record.
    void AddSound(SoundRecord record, bool intro, bool deferred);
    void AddTrack(SoundRecord record, bool deferred);
    // Aliases declared by the game section, resolved by ResolveAliases.
    void DeclareImageAlias(const std::wstring& name, const std::wstring& target);
    void DeclareSoundAlias(const std::wstring& name, const std::wstring& target);
    void ResolveAliases();

    // Counts for tests and the loading screen's diagnostics.
    size_t CountImages();
    size_t CountSounds();
    size_t CountTracks();

private:
    using ImageMap = std::map<std::wstring, Image*, std::less<>>;
    using IdMap = std::map<std::wstring, int, std::less<>>;

    // Each runs with its registry's lock held.
    Image* LoadImageLocked(const ImageRecord& record);
    Image* RegisterLoadedLocked(const std::wstring& name, std::unique_ptr<ImageSurface> loaded);
    void UnloadImageLocked(std::wstring_view name);
    void DropImageLocked(Image* image);
    std::wstring FollowPieceAliases(std::wstring_view name) const;
    int ReserveSoundIdLocked();
    int ReserveTrackIdLocked();
    int LoadSoundLocked(const SoundRecord& record);
    int LoadTrackLocked(const SoundRecord& record);

    AssetHost ownHost_;
    AssetHost& host_;

    CriticalSection imageLock_;
    ImageMap images_;
    std::map<Image*, std::unique_ptr<Image>> ownedImages_;
    std::map<std::wstring, ImageRecord, std::less<>> deferredImages_;
    std::map<std::wstring, std::wstring, std::less<>> pieceAliases_;  // piece -> atlas
    std::map<std::wstring, std::wstring> imageAliases_;               // alias -> target
    std::vector<std::wstring> introImages_;

    CriticalSection soundLock_;
    IdMap sounds_;
    std::map<std::wstring, SoundRecord, std::less<>> deferredSounds_;
    std::map<std::wstring, std::wstring> soundAliases_;
    std::vector<std::wstring> introSounds_;
    int nextSoundId_ = 1;

    CriticalSection trackLock_;
    IdMap tracks_;
    std::map<std::wstring, SoundRecord, std::less<>> deferredTracks_;
    int nextTrackId_ = 1;
};

// The volume name of a track: its path from the eighth character up to the
// next "/" (or the end); empty for a path of seven characters or fewer.
std::wstring TrackVolumeName(std::string_view path);
