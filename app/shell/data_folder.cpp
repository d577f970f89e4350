#include "app/shell/data_folder.h"

#include "platform/system/desktop_folder.h"

std::string DefaultDataFolder(std::string_view company, std::string_view product) {
    const std::string home = plat::GetHomeFolder();
    if (home.empty()) return "AppData\\";
    std::string folder = home + "/.local/share/";
    if (!company.empty()) folder += std::string(company) + "/";
    return folder + std::string(product) + "/";
}
