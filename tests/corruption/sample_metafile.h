// The valid metafile the corruption tests start from: every internal table, some with rows and
// memos, a lookup table with a memo column, a text table and a binary table. Each kind of
// embedded image is there, so that damage can be aimed at every one of them.
#pragma once

#include "tools/metafile_writer/metafile_builder.h"

namespace vetra::corruption {

writer::MetafileBuilder sampleBuilder(writer::MetafileOptions options = {});

writer::Bytes sampleMetafile(writer::MetafileOptions options = {});

} // namespace vetra::corruption
