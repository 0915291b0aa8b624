// A metafile written by the writer and opened through the exported interface for one test.
#pragma once

#include "engine/api/vetra40.h"
#include "tests/support/temp_metafiles.h"

#include <gtest/gtest.h>
#include <string>

namespace vetra::testing {

class OpenMetafile {
public:
    explicit OpenMetafile(const writer::MetafileBuilder& builder = writer::MetafileBuilder())
        : path_(files_.write("open.rmf", builder)) {
        EXPECT_EQ(VTx_Init(&id_, path_.c_str(), nullptr, 0, nullptr), 0);
    }
    ~OpenMetafile() { VTx_Exit(id_); }
    OpenMetafile(const OpenMetafile&) = delete;
    OpenMetafile& operator=(const OpenMetafile&) = delete;

    int32_t id() const { return id_; }
    const std::string& path() const { return path_; }

private:
    TempMetafiles files_;
    std::string path_;
    int32_t id_ = -1;
};

} // namespace vetra::testing
