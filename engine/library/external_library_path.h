// Where edit logic may load an external library from. A metafile may come from anyone and an
// edit can name any file, so nothing loads unless the host names folders in the engine
// variable _EXTERNALDLL_FOLDERS. A library is a "*.so" file directly in such a folder; the
// folder and the file must belong to the user or root and be writable by nobody else, and the
// file is never the metafile itself. The file is opened without following a symbolic link and
// checked on the open descriptor; the loader is then given that descriptor, so nothing can be
// swapped in between the check and the load.
#pragma once

#include "engine/library/file_descriptor.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

inline constexpr std::string_view kExternalFoldersVariable = "_EXTERNALDLL_FOLDERS";

// The folders of a setting separated by ':'; relative ones count from the metafile's folder.
// An empty setting allows no folder.
std::vector<std::filesystem::path> allowedLibraryFolders(std::string_view setting,
                                                         const std::filesystem::path& metafile);

// The file names a library name may stand for: the name itself when it ends in ".so"; for a
// name written for another platform ("Tool.dll"), "Tool.so", "libTool.so" and "libtool.so".
// No other name can be a library.
std::vector<std::string> libraryFileNames(std::string_view name);

// The library file an edit's name leads to, open and checked, or why there is none.
struct ExternalLibraryLookup {
    FileDescriptor file;
    std::string shownPath; // the folder and file name, for messages
    std::string refusal;   // empty when `file` is open
};

// Looks the name up in each folder in turn: the first candidate file that exists decides,
// loaded when every rule holds and refused otherwise.
ExternalLibraryLookup openExternalLibrary(std::string_view name,
                                          const std::vector<std::filesystem::path>& folders,
                                          const std::filesystem::path& metafile);

} // namespace vetra
