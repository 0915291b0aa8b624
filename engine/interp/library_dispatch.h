// How the interpreter reaches the built-in functions: by their index in the library table,
// which compiled logic stores. A built-in function reads its own arguments from the token
// stream through the interpreter and returns one 32-bit value.
#pragma once

#include <cstdint>

namespace vetra {

class LibraryDispatch {
public:
    static constexpr int32_t kFunctionCount = 83;

    virtual ~LibraryDispatch() = default;
    // Called as each run of logic starts: the library resets what lives for one edit.
    virtual void startRun() = 0;
    // `index` is 0 to kFunctionCount - 1.
    virtual int32_t call(int32_t index) = 0;
};

} // namespace vetra
