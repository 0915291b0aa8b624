// Engine variables: named texts shared by the host and edit logic, kept until the metafile is
// closed. Each is one level-100 block holding its key, a terminator, its value and a
// terminator; lookups scan those blocks in handle order (there are expected to be few).
//
// Keys are normalised: blanks around the name are dropped, an index in brackets is written
// "BASE[n]", and the whole key is upper case. Values lose their trailing blanks and line ends
// and keep at most 511 characters; setting an empty value deletes the variable.
#pragma once

#include "engine/store/memory_manager.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vetra {

class EngineVariables {
public:
    static constexpr size_t kMaxValueLength = 511;
    static constexpr int32_t kNotFound = 1001;
    static constexpr int32_t kSizeNotFound = 1003;

    explicit EngineVariables(MemoryManager& memory) : memory_(memory) {}

    static std::string normaliseKey(std::string_view name);
    // "%.75s[%i]"
    static std::string indexedName(std::string_view base, int32_t index);

    // 0 and the value, or kNotFound and an empty value.
    int32_t VTi_GetVar(std::string_view name, std::string* value) const;
    int32_t VTi_SetVar(std::string_view name, std::string_view value);
    // 0 and the largest index among BASE[n], or kSizeNotFound and 0.
    int32_t VTi_GetVarSize(std::string_view name, int32_t* size) const;

private:
    static constexpr int32_t kLevel = 100;
    static constexpr int32_t kTag = 9;

    std::string_view keyOf(int32_t handle) const;
    std::string_view valueOf(int32_t handle) const;

    MemoryManager& memory_;
};

} // namespace vetra
