// Images decoded ahead of their registration: the same pixels as reading the
// file, each listing taken once, in any order, and only by the thread whose
// scope holds the prefetch; the listing pass names the files the loading
// pass loads, in its order.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "app/assets/asset_host.h"
#include "app/assets/asset_manager.h"
#include "app/assets/image_prefetch.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "tests/app/asset_test_support.h"

using namespace testsupport;

namespace {

// Whether `pixels` are what reading `path` gives.
void ExpectDecodedFrom(const std::string& path, const ImageData* pixels) {
    std::unique_ptr<ImageData> read = GetImage(path, true);
    ASSERT_TRUE(read) << path;
    ASSERT_TRUE(pixels) << path;
    ASSERT_EQ(pixels->GetWidth(), read->GetWidth()) << path;
    ASSERT_EQ(pixels->GetHeight(), read->GetHeight()) << path;
    const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(read->GetWidth()) * read->GetHeight();
    EXPECT_EQ(std::memcmp(pixels->GetBits(), read->GetBits(), bytes), 0) << path;
}

TEST(ImagePrefetch, EachListingYieldsTheFilesPixelsOnceInAnyOrder) {
    AssetFolder folder;
    folder.Png("images/a.png", 32, 16);
    folder.Png("images/b.png", 5, 7);
    folder.Png("images/c.png", 64, 3);
    for (unsigned threads : {1u, 3u, 8u}) {
        ImagePrefetch prefetch({"images/a", "images/b", "images/a", "images/missing", "images/c"}, threads);
        ExpectDecodedFrom("images/c", prefetch.Take("images/c").get());  // out of order
        ExpectDecodedFrom("images/a", prefetch.Take("images/a").get());
        ExpectDecodedFrom("images/a", prefetch.Take("images/a").get());  // listed twice
        EXPECT_FALSE(prefetch.Take("images/a")) << threads;              // and no more
        EXPECT_FALSE(prefetch.Take("images/missing")) << threads;
        EXPECT_FALSE(prefetch.Take("images/b2")) << threads;  // never listed
        ExpectDecodedFrom("images/b", prefetch.Take("images/b").get());
    }
    // Entries never taken are dropped with the prefetch, which waits for its workers.
    ImagePrefetch untouched({"images/a", "images/b", "images/c"});
}

TEST(ImagePrefetch, ImageLoadsTakeFromThePrefetchOfTheirOwnThreadOnly) {
    AssetFolder folder;
    folder.Png("images/a.png", 12, 9);
    AssetHost host;
    ImageRecord record;
    record.path = "images/a";
    record.name = L"a";

    ImagePrefetch prefetch({"images/a", "images/a"});
    std::unique_ptr<ImageSurface> elsewhere;
    {
        ImagePrefetch::Scope taking(prefetch);
        EXPECT_EQ(ImagePrefetch::Current(), &prefetch);
        std::thread other([&] {
            EXPECT_EQ(ImagePrefetch::Current(), nullptr);
            elsewhere = host.LoadImageFile(record);
        });
        other.join();
        std::unique_ptr<ImageSurface> here = host.LoadImageFile(record);
        ASSERT_TRUE(here);
        ASSERT_TRUE(elsewhere);
        EXPECT_EQ(here->GetWidth(), 12);
        EXPECT_EQ(here->GetHeight(), 9);
        EXPECT_EQ(std::memcmp(here->GetBits(), elsewhere->GetBits(), sizeof(uint32_t) * 12 * 9), 0);
    }
    EXPECT_EQ(ImagePrefetch::Current(), nullptr);
    // The other thread read the file itself; this one took one of the two listings.
    EXPECT_TRUE(prefetch.Take("images/a"));
    EXPECT_FALSE(prefetch.Take("images/a"));
}

TEST(ImagePrefetch, TheListingPassNamesWhatEachLoadingPassLoads) {
    AssetFolder folder;
    folder.AssetsXml(R"(<dynamic path="levels"/>
      <intro><image name="Logo" path="images"/><sound name="whoosh" path="sounds"/></intro>
      <persistent><image name="Back" path="images/menu" cols="3"/></persistent>
      <game>
        <image name="Farm" path="images/levels"/>
        <image name="Tile" path="images/park"><piece name="Grass"/></image>
        <alias name="Lawn" image="Tile"/>
        <image name="Hud" path="images/hud"/>
      </game>)");
    EXPECT_EQ(AssetManager::ImagePaths(true), (std::vector<std::string>{"images/Logo", "images/menu/Back"}));
    EXPECT_EQ(AssetManager::ImagePaths(false), (std::vector<std::string>{"images/park/Tile", "images/hud/Hud"}));
    EXPECT_TRUE(AssetManager::ImagePaths(true, "properties/none.xml").empty());
}

}  // namespace
