// The benchmarks' metafiles: built by the writer and written once to the temporary folder,
// since the engine opens metafiles by path.
#pragma once

#include "tools/metafile_writer/metafile_builder.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace vetra::bench {

inline std::string writeMetafile(const writer::MetafileBuilder& builder, const char* fileName) {
    auto bytes = builder.build();
    std::string path = (std::filesystem::temp_directory_path() / fileName).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

} // namespace vetra::bench
