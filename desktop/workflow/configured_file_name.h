// File names read from the configuration files. A configuration file names some files by name
// alone, each in a folder of its own (the metafile in the metafile folder, the current
// configuration in the configuration folder, the report file in the reports folder), and the
// program joins the two. A configuration file may come with a metafile from anyone, so a name
// that could lead out of its folder is refused where it is read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vetra::desktop {

// Where a configuration file keeps a file name, and what the name stands for.
struct FileNameKey {
    std::string_view section;
    std::string_view key;
    std::string_view names;  // what the name is: "the metafile"
    std::string_view folder; // the folder it is joined to: "the metafile folder"
};

// Nothing when `value` is a plain file name (or empty, which means the key is not set). A name
// that holds a '/' or is "." or ".." gets the text that refuses it, naming the file
// `configurationFile` (a "configuration file" or the "master configuration file", as
// `fileKind` says), the key and the value.
std::optional<std::string> refusedFileName(std::string_view fileKind,
                                           const std::string& configurationFile,
                                           const FileNameKey& key, const std::string& value);

} // namespace vetra::desktop
