// A metafile for run tests: the layout "Test" with Code (10, columns 1-2), Registry (485,
// column 3), Sex (220, column 4), Date (390, columns 5-12) and Site (400, columns 13-16), and
// edit sets whose edits are compiled from source. The record is bound and filled for each
// test.
#pragma once

#include "engine/api/vetra40.h"
#include "tests/support/open_metafile.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vetra::testing {

struct TestEdit {
    std::string name;
    int messageNumber;
    std::vector<long> fields;
    std::string source;
};

// The layout, the messages 100 to 104 and the given edits and sets.
writer::MetafileBuilder runMetafile(const std::vector<TestEdit>& edits,
                                    const std::vector<writer::EditSetDefinition>& sets);

class BoundRecord {
public:
    BoundRecord(const writer::MetafileBuilder& builder, const std::string& text);

    int32_t id() const { return metafile_.id(); }
    void setText(const std::string& text);
    // The handle of a loaded set; option 1 keeps the logic in memory.
    int32_t load(const char* name, int32_t option = 1);
    // Messages of the last run as "type:text".
    std::vector<std::string> messages();
    int32_t status(int32_t set, int32_t index);

private:
    OpenMetafile metafile_;
    int32_t record_ = -1;
};

} // namespace vetra::testing
