// The built-in functions of edit logic, reached by their index in the library table. Each
// reads its own arguments from the running edit's token stream and may use any part of the
// instance: fields, tables, messages, flags, engine variables.
#pragma once

#include "engine/interp/library_dispatch.h"

#include <array>
#include <cstdint>

class TMetaFile;

namespace vetra {

using BuiltinFunction = int32_t (*)(TMetaFile&);

class BuiltinLibrary : public LibraryDispatch {
public:
    explicit BuiltinLibrary(TMetaFile& instance) : instance_(instance) {}

    // Fails the run with 2014 for a function this engine does not provide.
    int32_t call(int32_t index) override;

private:
    TMetaFile& instance_;
};

// The implementations in table order; null where this engine has none yet.
extern const std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> kBuiltinFunctions;

} // namespace vetra
