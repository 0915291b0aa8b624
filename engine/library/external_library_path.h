// Where edit logic may load an external library from. A metafile may come from anyone and an
// edit can name any library, so a library is loaded only from a folder the host allows: the
// folders named by the engine variable _EXTERNALDLL_FOLDERS, or else the metafile's own
// folder. A name is looked up in each allowed folder in turn and loaded by its full path,
// never through the system's search path; a name that leads out of the folder (through "..",
// an absolute path elsewhere or a symbolic link) is refused.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

inline constexpr std::string_view kExternalFoldersVariable = "_EXTERNALDLL_FOLDERS";

// The folders of a setting separated by ':'; relative ones count from the metafile's folder.
// An empty setting allows the metafile's folder alone.
std::vector<std::filesystem::path> allowedLibraryFolders(std::string_view setting,
                                                         const std::filesystem::path& metafile);

// The file names a library name may stand for: the name itself and, for a name written for
// another platform ("Tool.dll"), "Tool.so", "libTool.so" and "libtool.so".
std::vector<std::string> libraryFileNames(std::string_view name);

// The canonical path of the first regular file the name leads to inside an allowed folder;
// none when every candidate is missing or leaves its folder.
std::optional<std::string>
resolveExternalLibrary(std::string_view name, const std::vector<std::filesystem::path>& folders);

} // namespace vetra
