// Engine variables: named texts shared by the host and edit logic, kept until the metafile is
// closed. Each is one level-100 block holding its key, a terminator, its value and a
// terminator. Edit logic can create them by the thousand (setvar with built names), so they
// are found through a hash of their keys, never by scanning the blocks, and an instance holds
// at most kMaxVariables of them.
//
// Keys are normalised: blanks around the name are dropped, an index in brackets is written
// "BASE[n]", and the whole key is upper case. Values lose their trailing blanks and line ends
// and keep at most 511 characters; setting an empty value deletes the variable.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/store/memory_manager.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vetra {

class EngineVariables {
public:
    static constexpr size_t kMaxValueLength = 511;
    static constexpr int32_t kNotFound = 1001;
    static constexpr int32_t kSizeNotFound = 1003;
    // Enough for any host's switches and an edit's arrays; a bound on what edit logic can
    // make an instance hold (about 40 MB of values at most).
    static constexpr size_t kMaxVariables = 65536;

    EngineVariables(MemoryManager& memory, LastEngineError& errors)
        : memory_(memory), errors_(errors) {}

    static std::string normaliseKey(std::string_view name);
    // "%.75s[%i]"
    static std::string indexedName(std::string_view base, int32_t index);

    // 0 and the value, or kNotFound and an empty value.
    int32_t VTi_GetVar(std::string_view name, std::string* value) const;
    int32_t VTi_SetVar(std::string_view name, std::string_view value);
    // 0 and the largest index among BASE[n], or kSizeNotFound and 0.
    int32_t VTi_GetVarSize(std::string_view name, int32_t* size) const;
    // Deletes every variable.
    void clear();
    // Calls visit(key, value) for every variable, in no particular order.
    template <class Visit> void forEach(Visit&& visit) const {
        for (const auto& [key, handle] : handles_)
            visit(keyOf(handle), valueOf(handle));
    }
    // Changes whenever a variable may have changed: a reader of a switch looks again only then.
    uint64_t revision() const { return revision_; }

private:
    // The variables BASE[n] of one base: their handles (to find the first in handle order)
    // and their indexes (for the size).
    struct ArrayElements {
        std::set<int32_t> handles;
        std::multiset<int32_t> indexes;
    };

    static constexpr int32_t kLevel = 100;
    static constexpr int32_t kTag = 9;

    std::string_view keyOf(int32_t handle) const;
    std::string_view valueOf(int32_t handle) const;
    // The handle of the variable that an empty value set under `key` deletes, or 0.
    int32_t deletedBy(const std::string& key) const;
    void remove(int32_t handle);
    void add(const std::string& key, std::string_view value);

    MemoryManager& memory_;
    LastEngineError& errors_;
    std::unordered_map<std::string, int32_t> handles_;
    std::unordered_map<std::string, ArrayElements> arrays_;
    uint64_t revision_ = 0;
};

} // namespace vetra
