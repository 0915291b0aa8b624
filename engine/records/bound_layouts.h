// Record layouts bound to record buffers. Binding a layout fills field slots from its
// component records, points each field into the buffer and builds the block of the fields'
// names; field handles are then indexes into the field table. The bound-layout table is a
// level-1 block created with 10 entries on the first binding and grown by 2.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/records/field_table.h"
#include "engine/records/layout_catalogue.h"
#include "engine/records/record_slots.h"
#include "engine/store/directory_entry.h"
#include "engine/store/memory_manager.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vetra {

struct BoundLayout {
    char name[32];
    int32_t fieldCount;   // components of the layout
    int32_t layoutNumber; // -1 when the entry is free
    char* recordBuffer;
    int32_t recordLength;
    int32_t nameBlock; // handle: a terminator, then every distinct name and its terminator
};

// What the field walk hands out for one field.
struct FieldDescription {
    int32_t firstColumn;
    int32_t localNumber;
    std::string_view shortName, longName, thirdName, typeCode;
    int32_t length;
    int32_t handle;
};

enum class NameKind { Short, Long, Third };

// "S", "L" or "T" by the first character, upper-cased; anything else reads as S.
NameKind nameKindOf(const char* kind);

class BoundLayouts {
public:
    static constexpr int32_t kInitialEntries = 10;
    static constexpr int32_t kGrowEntries = 2;
    static constexpr uint8_t kFallbackFlags = 0x41; // both bits: bound as an alternate layout

    BoundLayouts(MemoryManager& memory, FieldTable& fields, const MetafileStream& stream,
                 const DirectoryEntry& catalogue, const DirectoryEntry& dictionary,
                 LastEngineError& errors)
        : memory_(memory), fields_(fields), stream_(stream), catalogue_(stream, catalogue),
          dictionary_(dictionary), errors_(errors) {}

    void reset();

    // Mode 0 binds an ordinary layout, mode 1 an alternate one (fields flagged 'A').
    int32_t bind(const RecordSlot* record, std::string_view name, int mode);
    int32_t VTi_FreeRecordLayout(std::string_view name);
    // Fields pointing into a buffer that is being released read as absent afterwards.
    void detachBuffer(const char* buffer);

    int32_t VTi_GetRecordLayoutInit(std::string_view name, int32_t* fieldCount);
    int32_t VTi_GetRecordLayoutField(FieldDescription* field);

    int32_t VTi_FieldHandle(std::string_view name, NameKind kind, const char* layout);
    int32_t VTi_FieldHandleByLocal(int32_t localNumber, const char* layout);
    // Null when the handle names no field in use of a bound layout.
    const char* VTi_FieldName(int32_t handle, NameKind kind);
    int32_t VTi_LocalNumFromHnd(int32_t handle);
    int32_t VTi_FieldOptions(int32_t handle, int32_t options);
    int32_t VTi_RecordLayoutOptions(std::string_view name, int32_t options);

    // Field slot for a local number (its sign ignored): -1 none, -2 only an alternate field.
    int32_t fieldForLocal(int32_t localNumber);
    int32_t fieldForLocalIgnoringFlags(int32_t localNumber);
    int32_t fieldForLocalInLayout(int32_t localNumber, int32_t layoutNumber);
    // For reading a value by local number: skips fields flagged exactly 'A', no fallback.
    int32_t fieldForLocalValue(int32_t localNumber);

    // The bound entry's number for a name, else the catalogue's, else 0.
    int32_t layoutNumberByName(std::string_view name);
    const LayoutCatalogue& catalogue() const { return catalogue_; }
    bool everBound() const { return tableHandle_ != 0; }
    // The first entry of the bound-layout table (in use or not).
    const BoundLayout* firstEntry();

private:
    std::span<BoundLayout> entries();
    BoundLayout* findByName(std::string_view name, bool lastMatch = false);
    BoundLayout& takeFreeEntry();
    void pointFieldsInto(const BoundLayout& entry);
    void buildNameBlock(BoundLayout& entry);
    void forgetRememberedLookup() { rememberedLocal_ = -1; }
    std::string_view nameOf(const FieldSlot& slot, NameKind kind);
    int32_t searchFields(const char* layout, bool emptyMeansAll,
                         bool (*matches)(const FieldSlot&, const void*), const void* wanted);
    static void applyOptions(FieldSlot& slot, int32_t options);

    MemoryManager& memory_;
    FieldTable& fields_;
    const MetafileStream& stream_;
    LayoutCatalogue catalogue_;
    const DirectoryEntry& dictionary_;
    LastEngineError& errors_;
    int32_t tableHandle_ = 0;
    int32_t entryCount_ = 0;
    int32_t cursorEntry_ = -1;
    int32_t cursorLayout_ = -1;
    int32_t cursorSlot_ = -1;
    int32_t rememberedLocal_ = -1;
    int32_t rememberedSlot_ = -1;
};

} // namespace vetra
