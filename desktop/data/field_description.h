// One field of the chosen record layout as the desktop program keeps it.
#pragma once

#include <string>
#include <vector>

namespace vetra::desktop {

struct fld_desc {
    std::string name;    // the field's name of kind S
    int startColumn = 0; // counted from 1
    int length = 0;
    int itemNumber = 0; // the field's local number in the metafile
    std::string value;
    // The field's third name in the metafile's data dictionary: a NAACCR XML item's naaccrId.
    std::string thirdName;
};

using LayoutFieldList = std::vector<fld_desc>;

} // namespace vetra::desktop
