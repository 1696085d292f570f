// Where the program keeps things. The program folder (schedule files, help page, pictures)
// is the folder of the executable; the data folder (local data files, settings file) is the
// user's application data folder + "TERN/". Both end with '/'.
#pragma once

#include <optional>
#include <string>

namespace tern {

// The user's application data folder on Linux: $XDG_DATA_HOME, else $HOME/.local/share;
// nothing when neither gives an absolute path. Takes the values so tests need no
// environment.
std::optional<std::string> userDataFolder(const char* xdgDataHome, const char* home);

// The data folder: the user's data folder + "TERN/", or the program folder when there is no
// user data folder.
std::string dataFolderFor(const std::optional<std::string>& userData,
                          const std::string& programFolder);

// The data folder of a front end: `chosen` (--data-folder) as it is; with the simulated
// receiver "TERN-Simulation/" under the user's data folder, so its messages never mix with
// the real ones; otherwise dataFolderFor.
std::string chosenDataFolder(const std::optional<std::string>& chosen, bool simulate,
                             const std::optional<std::string>& userData,
                             const std::string& programFolder);

// Folder of the running executable, with a trailing '/'.
std::string executableFolder();

// Adds a trailing '/' when missing.
std::string withTrailingSlash(std::string path);

// Creates the folder and any missing parents. A fresh account may lack ~/.local/share
// itself, so one level is not enough. True when the folder exists afterwards.
bool makeFolders(const std::string& path);

}  // namespace tern
