// Metafiles written by the project's own writer into a temporary folder that a test owns.
#pragma once

#include "tools/metafile_writer/breakage.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <filesystem>
#include <string>

namespace vetra::testing {

class TempMetafiles {
public:
    TempMetafiles();
    ~TempMetafiles();
    TempMetafiles(const TempMetafiles&) = delete;
    TempMetafiles& operator=(const TempMetafiles&) = delete;

    // Writes the bytes under `name` and returns the file's path.
    std::string write(const std::string& name, const writer::Bytes& bytes) const;
    std::string write(const std::string& name, const writer::MetafileBuilder& builder,
                      const writer::Breakage& breakage = {}) const;
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

} // namespace vetra::testing
