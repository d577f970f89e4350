#include "fuzz/harness.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/app_services.h"
#include "foundation/system/noise.h"
#include "foundation/system/random.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "widgets/tree/widget_host.h"
#include "widgets/tree/widget_manager.h"

namespace fuzz {
namespace {

// Finds nothing by name but the images a target registered, like the null
// application, hands out the player's symbols and keeps fatal errors to itself.
class QuietApp : public NullAppServices {
public:
    VariableMap* PlayerSymbols() override { return &fuzz::PlayerSymbols(); }
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        auto it = images.find(name);
        return it == images.end() ? nullptr : it->second.get();
    }
    void ShowFatalError(std::string_view) override {}
    void ShowFatalErrorWide(std::wstring_view) override {}

    std::map<std::wstring, std::unique_ptr<ImageSurface>, std::less<>> images;

private:
    ScopedService<AppServices> installed_{this};
};

// libFuzzer ends a run stopped by a crash, a timeout, an out-of-memory, a
// leak or an interrupt with _Exit, past every destructor and atexit handler,
// and a signal it does not catch ends it outright: the process cannot remove
// its scratch folder itself. A child of its own does, once the run is over.
// It waits on a pipe whose only writing end the run holds, which the kernel
// closes however the run ends. Forked before libFuzzer starts a thread.
void RemoveWhenRunEnds(const std::string& folder) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        std::perror("halvaro fuzz: cannot watch the scratch folder");
        std::abort();
    }
    const pid_t watcher = ::fork();
    if (watcher < 0) {
        std::perror("halvaro fuzz: cannot watch the scratch folder");
        std::abort();
    }
    if (watcher > 0) {
        // The writing end stays open, unused, for as long as the run lives;
        // exec closes it, so programs libFuzzer starts do not keep it.
        ::close(ends[0]);
        return;
    }
    ::close(ends[1]);
    // In a session of its own, an interrupt from the terminal or a signal to
    // the run's process group stops the run and not the one cleaning after
    // it; and it keeps no end of the run's output open.
    ::setsid();
    const int nowhere = ::open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd) ::dup2(nowhere, fd);
    char byte;
    while (::read(ends[0], &byte, 1) < 0 && errno == EINTR) {}
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    // Not exit: the run's atexit handlers and leak check are not ours to run.
    ::_exit(0);
}

class Scratch {
public:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvaro_fuzz_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("halvaro fuzz: cannot make the scratch folder");
            std::abort();
        }
        folder_ = pattern;
        RemoveWhenRunEnds(folder_);
    }
    // A run that ends normally removes the folder before it ends, so it is
    // gone the moment the command returns.
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

// Deletes what the tree hands over as the game's host does, between updates.
class Host : public NullWidgetHost {
private:
    ScopedService<WidgetHost> installed_{this};
};

QuietApp& App() {
    static QuietApp app;
    return app;
}

}  // namespace

void RegisterImage(const std::wstring& name, int celWidth, int celHeight, int rows, int cols) {
    auto image = std::make_unique<ImageSurface>();
    image->Create(celWidth * cols, celHeight * rows);
    image->SetRowsCols(rows, cols);
    image->name = name;
    App().images[name] = std::move(image);
}

void RunTree(int updates, int drawEvery, const std::function<void(WidgetManager&)>& add,
             const std::function<bool()>& goOn) {
    Host host;
    {
        WidgetManager manager;
        add(manager);
        for (int update = 0; update < updates; ++update) {
            manager.UpdateFrame();
            manager.UpdateFractionFrame(1.0f);
            host.DeleteDeferred();
            if (update % drawEvery == 0) {
                Graphics g(nullptr);
                manager.DrawWidgetsTo(&g);
            }
            if (!goOn()) break;
        }
        manager.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    host.DeleteDeferred();
}

InScratchFolder::InScratchFolder() : home_(std::filesystem::current_path()) { Enter(ScratchFolder()); }
InScratchFolder::~InScratchFolder() { Enter(home_); }

void InScratchFolder::Enter(const std::filesystem::path& folder) {
    if (::chdir(folder.c_str()) == 0) return;
    std::perror("halvaro fuzz: cannot change the current folder");
    std::abort();
}

const std::string& ScratchFolder() {
    static Scratch scratch;
    return scratch.Folder();
}

std::string WriteScratchFile(std::string_view name, const uint8_t* data, size_t size) {
    std::string path = ScratchFolder() + "/" + std::string(name);
    // Overwritten in place and then cut to length: a file truncated to
    // nothing and written again is flushed to disk on close by ext4, which
    // made a run ten times slower.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (size_t done = 0; written && done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        written = n > 0;
        done += written ? static_cast<size_t>(n) : 0;
    }
    written = written && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    if (fd >= 0) written = ::close(fd) == 0 && written;
    if (!written) {
        std::perror("halvaro fuzz: cannot write the scratch file");
        std::abort();
    }
    return path;
}

void ReadImageFile(std::string_view fileName, ImageReader reader, const uint8_t* data, size_t size) {
    const std::unique_ptr<ImageData> image = reader(WriteScratchFile(fileName, data, size));
    if (!image) return;
    const int w = image->GetWidth();
    const int h = image->GetHeight();
    if (!ImageData::SizeAllowed(w, h) || image->GetBits() == nullptr) {
        std::fprintf(stderr, "halvaro fuzz: the reader returned an image of %d x %d without its pixels\n", w, h);
        std::abort();
    }
    // The corners: ASan stops the run if the pixel array is shorter than its size says.
    Keep(image->Row(0)[0] + image->Row(h - 1)[w - 1]);
}

void WriteGlyphSheet() {
    static const bool written = [] {
        ImageData sheet;
        sheet.Allocate(kGlyphSheetWidth, kGlyphSheetHeight, true);
        // Rows of 8 x 8 cells, each an opaque square with a soft edge.
        for (int y = 0; y < kGlyphSheetHeight; ++y)
            for (int x = 0; x < kGlyphSheetWidth; ++x) {
                const int edge = std::min(std::min(x % 8, 7 - x % 8), std::min(y % 8, 7 - y % 8));
                const uint32_t alpha = edge == 0 ? 0 : edge == 1 ? 0x80 : 0xFF;
                sheet.Row(y)[x] = alpha << 24 | 0xFFFFFF;
            }
        return WritePNGImage(ScratchFolder() + "/glyphs.png", sheet);
    }();
    if (!written) {
        std::fprintf(stderr, "halvaro fuzz: cannot write the glyph sheet\n");
        std::abort();
    }
}

VariableMap& PlayerSymbols() {
    static VariableMap symbols;
    return symbols;
}

void ResetSharedState() {
    SeedRandom(4357);
    PlayerSymbols().clear();
    // Reading an absent constant or key enters it: without this the tables
    // would grow with every input.
    ConstantsMap().clear();
    ConstantsMap()[L"fade_time"] = PropertyValue(50);
    LocalizationMap().clear();
    LocalizationMap()[L"GREETING"] = L"Welcome, %s!";
}

}  // namespace fuzz

namespace {

// libFuzzer writes a crash, leak or timeout file relative to the current
// folder as the input stops, and an input may be running inside the scratch
// folder then: the file would land there, in a folder nobody looks in, under
// a name that claims the start folder. So the places it is given (or "./",
// its default) are made absolute against the folder the run started in.
void AnchorArtifactPaths(int* argc, char*** argv) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    const std::string start = std::filesystem::current_path().string() + "/";
    constexpr std::string_view kPrefix = "-artifact_prefix=", kExactPath = "-exact_artifact_path=";
    bool prefixGiven = false;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        if (arg.starts_with(kPrefix)) {
            prefixGiven = true;
            if (arg.size() == kPrefix.size() || arg[kPrefix.size()] != '/') arg.insert(kPrefix.size(), start);
        } else if (arg.starts_with(kExactPath) && arg.size() > kExactPath.size() && arg[kExactPath.size()] != '/') {
            arg.insert(kExactPath.size(), start);
        }
        args.push_back(std::move(arg));
    }
    if (!prefixGiven) args.push_back(std::string(kPrefix) + start);
    for (std::string& arg : args) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AnchorArtifactPaths(argc, argv);
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    fuzz::App();
    InitNoiseTables();
    fuzz::ScratchFolder();
    return 0;
}
