// Seeds for the readers of the player's own files and the start-up files:
// settings.xml and profiles.xml as the game writes them, assets.xml,
// config.xml and localization.xml as data/properties holds them, and the
// replies a crash upload may get. Each is checked by the reader its target runs.
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/crash/http_reply.h"
#include "app/settings/settings_file.h"
#include "foundation/files/path_utils.h"
#include "foundation/files/xml_parser.h"
#include "fuzz/seeds/seeds.h"
#include "game/data/progress/kivra_profile_manager.h"

namespace fs = std::filesystem;

namespace seeds {
namespace {

std::string ReadProperties(const char* name) {
    std::stringstream text;
    text << std::ifstream(fs::path(HALVARO_SOURCE_DIR) / "data" / "properties" / name, std::ios::binary).rdbuf();
    return text.str();
}

void WriteReplySeeds(Corpus& corpus) {
    corpus.Begin("http_reply");
    // The first byte chooses the pieces the rest is fed in.
    const std::pair<const char*, std::string> replies[] = {
        {"length", "\x03HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"},
        {"chunked", "\x05HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n1;x=1\r\nZ\r\n0\r\n\r\n"},
        {"not_found", "\x01HTTP/1.1 404 Not Found\r\n\r\n"},
        {"to_close", "\x07\r\nplain text until the close"},
    };
    for (const auto& [name, reply] : replies) {
        corpus.Write(name, reply);
        HttpReplyReader reader(4096);
        const HttpReplyReader::Progress progress = reader.Feed(std::string_view(reply).substr(1));
        corpus.Expect(
            progress != HttpReplyReader::Progress::TooLarge && progress != HttpReplyReader::Progress::BadStatus, name);
    }
}

void WriteSettingsSeeds(Corpus& corpus) {
    corpus.Begin("settings");
    AppSettings settings;
    settings.mouseSpeed = 7;
    settings.trackVolumes[L"theme"] = 0.5;
    std::set<std::wstring> reported;
    const std::string path = corpus.PathOf("settings.xml");
    WriteSettingsFile(path, BuildSettingsAttributes(settings, reported, [](std::wstring_view) {}));
    corpus.Expect(ReadSettingsFile(path, [](const XMLElement&) {}), "settings.xml");
}

void WriteProfileSeeds(Corpus& corpus) {
    corpus.Begin("profiles");
    const std::string previous = GetAppDataFolder();
    SetAppDataFolder(corpus.PathOf("") + "/");
    {
        KivraProfileManager profiles;
        profiles.Load();
        profiles.CreateProfile(L"Ann", -1, true);
        profiles.CreateProfile(L"Bo", 2, false);
        corpus.Expect(profiles.Save(), "profiles.xml");
    }
    // Only the file: the players' folders the save made are not seeds.
    for (const auto& entry : fs::directory_iterator(corpus.PathOf("")))
        if (entry.path().filename() != "profiles.xml") fs::remove_all(entry.path());
    SetAppDataFolder(previous);
}

void WritePropertiesSeeds(Corpus& corpus) {
    corpus.Begin("assets");
    corpus.Write("assets.xml", ReadProperties("assets.xml"));
    // The glyph sheet the target writes, cut into cels and into atlas pieces.
    corpus.Write("glyphs.xml",
                 "<intro><image name=\"glyphs\" path=\".\" cols=\"4\" rows=\"2\"/></intro>"
                 "<dynamic path=\"later\"/><game><image name=\"glyphs\" path=\".\">"
                 "<piece name=\"a\" cols=\"2\"><frame width=\"8\" height=\"8\" source-x=\"4\"/></piece>"
                 "<piece name=\"glyphs\"/></image><alias name=\"b\" image=\"a\"/>"
                 "<sound name=\"s\" path=\"later\"/></game>");
    corpus.Begin("config");
    corpus.Write("config.xml", ReadProperties("config.xml"));
    corpus.Begin("localization");
    corpus.Write("localization.xml", ReadProperties("localization.xml"));
}

}  // namespace

void WriteAppSeeds(Corpus& corpus) {
    WriteReplySeeds(corpus);
    WriteSettingsSeeds(corpus);
    WriteProfileSeeds(corpus);
    WritePropertiesSeeds(corpus);
}

}  // namespace seeds
