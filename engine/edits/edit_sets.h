// The edit sets an instance has loaded, by the name the host gave (exact, case-sensitive),
// and their loading from the stored tables: the edit set's "ES" catalogue record with its
// component memo, its member list in _RE_EDSE.DBF, and the fields of each edit resolved
// against the bound record layout.
//
// Component memo, per edit in member order: 4 digits chunk length L; the chunk (2 digits name
// length N, the name, 4 digits message number, 2 digits field count F, F x 8 digits local
// numbers, 4 digits logic length G); then G characters of compiled logic.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/edits/edit_set.h"
#include "engine/interp/engine_variables.h"
#include "engine/records/bound_layouts.h"
#include "engine/records/field_access.h"
#include "engine/records/field_table.h"
#include "engine/store/lookup_tables.h"
#include "engine/store/memory_manager.h"
#include "engine/store/metafile_directory.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace vetra {

class EditSets {
public:
    EditSets(MemoryManager& memory, const MetafileStream& stream, const InternalTables& tables,
             BoundLayouts& layouts, FieldAccess& access, EngineVariables& variables,
             LookupTables& lookups, LastEngineError& errors)
        : memory_(memory), stream_(stream), tables_(tables), layouts_(layouts), access_(access),
          variables_(variables), lookups_(lookups), errors_(errors) {}

    void clear() { register_.clear(); }

    // Loads the set, or finds it loaded and resets its counters. Fails with 462 when the
    // catalogue has no such set, and with 301 to 306 as loading fails part-way.
    void VTi_LoadEditSet(std::string_view name, int32_t option, int32_t* handle, int32_t* status);

    // Null when the handle names no edit set.
    EditSetRecord* find(int32_t handle);
    std::span<EditEntry> entries(const EditSetRecord& set);
    std::string_view editName(const EditSetRecord& set, const EditEntry& entry);
    std::span<int32_t> fieldReferences(const EditSetRecord& set, const EditEntry& entry);
    // The compiled logic kept in memory; empty when it is not.
    std::string_view logic(const EditSetRecord& set, const EditEntry& entry);

    // Every loaded set, for operations that touch all edits.
    const std::map<std::string, int32_t>& loaded() const { return register_; }

    // After the field options change: every edit of every loaded set keeps only its
    // missing-field bit, and is marked when one of its fields now skips its edits.
    void markEditsOnSkippedFields(std::span<const FieldSlot> fields);

private:
    struct LoadState;

    std::string_view findCatalogueRecord(std::string_view name) const;
    void readMembers(EditSetRecord& set, std::string_view name, int32_t* status);
    void readComponents(LoadState& state, std::string_view memo, int32_t* status);
    int32_t allocate(size_t size, int32_t tag, int32_t code, int32_t failedStatus, int32_t* status);
    void reportMissingField(int32_t localNumber, std::string_view editName);

    MemoryManager& memory_;
    const MetafileStream& stream_;
    const InternalTables& tables_;
    BoundLayouts& layouts_;
    FieldAccess& access_;
    EngineVariables& variables_;
    LookupTables& lookups_;
    LastEngineError& errors_;
    std::map<std::string, int32_t> register_;
};

} // namespace vetra
