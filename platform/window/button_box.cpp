// A message box with the caller's own button labels, needing no WindowSystem.
#include <cstdlib>
#include <cstring>

#include "platform/window/window_internal.h"

namespace plat {

bool DesktopCanShowBoxes() {
    if (WindowSystem::Instance() && WindowSystem::Instance()->Ready()) return !HeadlessVideo();
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

int ShowButtonBox(std::string_view caption, std::string_view text, const std::vector<std::string>& labels) {
    if (labels.empty() || !DesktopCanShowBoxes()) return -1;
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (size_t i = 0; i < labels.size(); ++i) {
        uint32_t flags = 0;
        if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (i + 1 == labels.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back(SDL_MessageBoxButtonData{flags, static_cast<int>(i), labels[i].c_str()});
    }
    const std::string captionText(caption), bodyText(text);
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR;
    box.title = captionText.c_str();
    box.message = bodyText.c_str();
    box.numbuttons = static_cast<int>(buttons.size());
    box.buttons = buttons.data();
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) return -1;
    return answer;
}

}  // namespace plat
