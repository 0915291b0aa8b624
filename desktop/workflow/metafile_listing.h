// Listing what an open metafile offers: its record layouts, the fields of one layout, its
// edit sets and the edits of the ticked sets. A failed engine call is reported and the
// listing goes on with what it has.
#pragma once

#include "desktop/data/field_description.h"
#include "desktop/run/engine_binding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vetra::desktop {

struct LayoutListing {
    std::vector<std::string> names;
    std::vector<int> recordLengths;
    int largestRecordLength = 0;
};

struct LayoutFields {
    int recordLength = 0;
    LayoutFieldList fields; // in layout order
};

class MetafileListing {
public:
    MetafileListing(const RAVengine& engine, platform::MessageBoxes& messages, std::int32_t mfID)
        : engine_(engine), messages_(messages), mfID_(mfID) {}

    LayoutListing layouts();
    LayoutFields layoutFields(const std::string& layoutName, int largestRecordLength);
    std::vector<std::string> editSets();
    // The names of the edits of the named sets, loaded with every compiled logic kept.
    std::vector<std::string> editNames(const std::vector<std::string>& editSetNames);

private:
    void report(std::int32_t status, const char* label, int line);

    const RAVengine& engine_;
    platform::MessageBoxes& messages_;
    std::int32_t mfID_;
};

} // namespace vetra::desktop
