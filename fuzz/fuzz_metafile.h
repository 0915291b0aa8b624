// The metafile the interpreter fuzz targets run logic against: one layout "Fuzz" of Sex
// (220, column 1), Date of Diagnosis (390, columns 2-9) and Primary Site (400, columns
// 10-13), written to a temporary file named for the target and the process.
#pragma once

#include "tools/metafile_writer/metafile_builder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace vetra::fuzzing {

inline constexpr const char* kFuzzLayout = "Fuzz";

inline writer::DictionaryEntry characterItem(long local, const char* name, int length) {
    writer::DictionaryEntry entry;
    entry.localNumber = local;
    entry.shortName = entry.longName = entry.thirdName = name;
    entry.typeCode = "C";
    entry.length = length;
    return entry;
}

// The path of the written metafile; the caller removes it once opened.
inline std::string writeFuzzMetafile(const std::string& target) {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(characterItem(220, "Sex", 1));
    builder.addDictionaryEntry(characterItem(390, "Date of Diagnosis", 8));
    builder.addDictionaryEntry(characterItem(400, "Primary Site", 4));
    builder.addLayout(writer::RecordLayout{
        1,
        kFuzzLayout,
        "",
        {{220, "C", 1, 1, ' '}, {390, "C", 2, 8, ' '}, {400, "C", 10, 4, ' '}}});
    auto bytes = builder.build();
    std::string path = (std::filesystem::temp_directory_path() /
                        (target + "-" + std::to_string(::getpid()) + ".rmf"))
                           .string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

} // namespace vetra::fuzzing
