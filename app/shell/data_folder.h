#pragma once
// Where the player's files live when nothing set the data folder:
// ~/.local/share/<company>/<product>/. The home folder is $HOME, or the
// password database's entry when HOME is unset or empty, so the files never
// land in whatever folder the game was started from; only a system that
// knows no home at all gives the relative "AppData\\".
// Threads: any.

#include <string>
#include <string_view>

std::string DefaultDataFolder(std::string_view company, std::string_view product);
