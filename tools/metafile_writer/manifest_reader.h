// Reads a metafile manifest: a TOML file, the source a person edits, naming what the metafile
// holds. Sections:
//
//   [metafile]   version = "4.00"                       (optional)
//   [[table]]    name = "SITES.DBF", columns = [{ name, type, length, decimals }, ...],
//                rows = "sites.csv"                     (optional; a header names the columns)
//                index = [{ tag = "CODE", column = "CODE", upper_case = false }, ...]
//                                                       (optional; one tag per character column)
//   [[table]]    name = "CODES.ASC", kind = "text", source = "codes.txt"
//   [[table]]    name = "CODES.BIN", kind = "binary", source = "codes.bin", record_length = 8
//   [[dictionary]] source = "dictionary.csv"                (see manifest_layouts.h)
//   [[layout]]   number = 1, name = "Incidence", fields = "layout1.csv"
//                or naaccr_xml = "naaccr-dictionary.xml"  (see manifest_layouts.h)
//
// File names are relative to the manifest. Unknown sections and keys are errors, so that a
// misspelt key is not silently ignored.
#pragma once

#include "tools/metafile_writer/metafile_builder.h"

#include <filesystem>

namespace vetra::writer {

// Throws WriterError naming the file at fault: the manifest, or a source it names.
MetafileBuilder readManifest(const std::filesystem::path& manifestFile);

} // namespace vetra::writer
