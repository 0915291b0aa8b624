#include "external_library_table.h"

#include <dlfcn.h>

namespace vetra {

void ExternalLibraryTable::releaseAll() {
    for (void* handle : handles_)
        dlclose(handle);
    handles_.clear();
}

} // namespace vetra
