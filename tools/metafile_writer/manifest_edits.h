// The manifest's sections for edits, edit sets and messages:
//
//   [messages]    source = "messages.csv"          (columns number, text)
//   [[edit]]      name = "...", source = "edits/x.edit", message = 1001,
//                 description = "..." and help = "..." (both optional)
//   [[edit_set]]  name = "...", description = "..." (optional), edits = ["...", ...]
//
// Each edit's source is compiled with the edit compiler; fields written as #S"Short Name" are
// found in the metafile's data dictionary, so the dictionary and layouts are read first.
#pragma once

#include "tools/metafile_writer/manifest_values.h"

namespace vetra::writer {

void readMessagesSection(const Manifest& manifest, const toml::node& node);
void readEditSections(const Manifest& manifest, const toml::node& node);
void readEditSetSections(const Manifest& manifest, const toml::node& node);

} // namespace vetra::writer
