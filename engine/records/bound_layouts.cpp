#include "bound_layouts.h"

#include "engine/store/block_tags.h"
#include "engine/store/internal_records.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vetra {

namespace {

constexpr size_t kNameSpacePerField = 78; // three names of up to 25 characters and terminators
constexpr size_t kRoomForNextField = 27;  // one name of 25, its terminator and the final byte
constexpr int64_t kDictionaryRecordOffset = 450;
constexpr int64_t kDictionaryRecordLength = 173;

int32_t displayWidthOf(const std::string& typeCode, int32_t length) {
    char kind = typeCode.empty() ? ' ' : static_cast<char>(std::toupper(typeCode[0]));
    return (kind == 'D' || kind == 'L' || kind == 'I') ? std::max(length, 9) : length;
}

struct DictionaryNames {
    std::string_view shortName, longName, thirdName;
};

DictionaryNames readDictionaryNames(const MetafileStream& stream, int64_t position) {
    std::span<const uint8_t> bytes = stream.bytesAt(position, kDictionaryRecordLength - 1);
    std::string_view record(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return {trimTrailingBlanks(recordField(record, 0, 25)),
            trimTrailingBlanks(recordField(record, 37, 25)),
            trimTrailingBlanks(recordField(record, 126, 25))};
}

// What a field's names take in the name block: each distinct name and its terminator.
size_t nameBlockSpace(const DictionaryNames& names) {
    size_t space = names.shortName.size() + 1;
    if (names.longName != names.shortName) space += names.longName.size() + 1;
    if (names.thirdName != names.shortName && names.thirdName != names.longName)
        space += names.thirdName.size() + 1;
    return space;
}

bool hasFallbackFlags(const FieldSlot& slot) {
    return (slot.flags & 0x01) != 0 || (slot.flags & 0x40) != 0;
}

bool isAlternate(const FieldSlot& slot) {
    return (slot.flags & BoundLayouts::kFallbackFlags) == BoundLayouts::kFallbackFlags;
}

} // namespace

NameKind nameKindOf(const char* kind) {
    char first = kind != nullptr
                     ? static_cast<char>(std::toupper(static_cast<unsigned char>(kind[0])))
                     : 'S';
    return first == 'L' ? NameKind::Long : first == 'T' ? NameKind::Third : NameKind::Short;
}

void BoundLayouts::reset() {
    tableHandle_ = 0;
    entryCount_ = 0;
    cursorEntry_ = cursorLayout_ = cursorSlot_ = -1;
    forgetRememberedLookup();
}

std::span<BoundLayout> BoundLayouts::entries() {
    if (tableHandle_ == 0) return {};
    return {static_cast<BoundLayout*>(memory_.lock(tableHandle_)),
            static_cast<size_t>(entryCount_)};
}

BoundLayout* BoundLayouts::findByName(std::string_view name, bool lastMatch) {
    BoundLayout* found = nullptr;
    for (BoundLayout& entry : entries()) {
        if (entry.layoutNumber != -1 && equalsIgnoringCase(entry.name, name)) {
            found = &entry;
            if (!lastMatch) break;
        }
    }
    return found;
}

const BoundLayout* BoundLayouts::firstEntry() {
    auto all = entries();
    return all.empty() ? nullptr : &all[0];
}

int32_t BoundLayouts::layoutNumberByName(std::string_view name) {
    if (const BoundLayout* entry = findByName(name)) return entry->layoutNumber;
    return catalogue_.layoutNumberByName(name);
}

BoundLayout& BoundLayouts::takeFreeEntry() {
    for (BoundLayout& entry : entries())
        if (entry.layoutNumber == -1) return entry;
    int32_t previous = entryCount_;
    entryCount_ += tableHandle_ == 0 ? kInitialEntries : kGrowEntries;
    tableHandle_ = memory_.VTi_ReAllocMem(tableHandle_, 1, tags::kBoundLayouts, false,
                                          static_cast<size_t>(entryCount_) * sizeof(BoundLayout));
    for (BoundLayout& entry : entries().subspan(static_cast<size_t>(previous)))
        entry = BoundLayout{{}, 0, -1, nullptr, 0, 0};
    return entries()[static_cast<size_t>(previous)];
}

void BoundLayouts::pointFieldsInto(const BoundLayout& entry) {
    for (FieldSlot& slot : fields_.slots()) {
        if (!FieldTable::inUse(slot) || slot.layoutNumber != entry.layoutNumber) continue;
        // A field that does not lie wholly inside the buffer is left unbound, so that no read
        // or write can leave the buffer.
        bool fits = entry.recordBuffer != nullptr && slot.firstColumn >= 1 &&
                    slot.firstColumn + slot.length - 1 <= entry.recordLength;
        slot.value = fits ? entry.recordBuffer + slot.firstColumn - 1 : nullptr;
    }
}

int32_t BoundLayouts::bind(const RecordSlot* record, std::string_view name, int mode) {
    if (record == nullptr) return -1;
    forgetRememberedLookup();
    if (tableHandle_ == 0) takeFreeEntry();
    if (BoundLayout* bound = findByName(name)) {
        bound->recordBuffer = record->buffer;
        bound->recordLength = record->recordLength;
        pointFieldsInto(*bound);
        return 0;
    }
    if (!catalogue_.exists()) errors_.fail(601, "VTi_InitRecordLayout");
    int32_t layoutNumber = catalogue_.layoutNumberByName(name);
    std::string_view layoutRecord = catalogue_.layoutRecord(layoutNumber);
    if (layoutRecord.empty()) errors_.fail(602, "VTi_InitRecordLayout");
    std::vector<LayoutComponent> components = catalogue_.components(layoutRecord);

    BoundLayout& taken = takeFreeEntry();
    size_t entryIndex = static_cast<size_t>(&taken - entries().data());
    taken = BoundLayout{{},
                        static_cast<int32_t>(components.size()),
                        layoutNumber,
                        record->buffer,
                        record->recordLength,
                        0};
    if (!name.empty())
        std::memcpy(taken.name, name.data(), std::min(name.size(), sizeof taken.name - 1));

    int32_t needed = static_cast<int32_t>(components.size());
    int32_t free = fields_.freeSlotCount();
    if (free < needed) fields_.grow(needed - free + 5);

    auto slots = fields_.slots();
    size_t next = 0;
    for (const LayoutComponent& component : components) {
        if (component.lastColumn() > record->recordLength) continue;
        while (FieldTable::inUse(slots[next]))
            ++next;
        FieldSlot& slot = slots[next];
        slot.localNumber = component.localNumber;
        std::memcpy(slot.typeCode, component.typeCode.c_str(),
                    std::min<size_t>(component.typeCode.size(), 3));
        slot.layoutNumber = layoutNumber;
        slot.firstColumn = component.firstColumn;
        slot.length = component.length;
        slot.displayWidth = displayWidthOf(component.typeCode, component.length);
        slot.flags = static_cast<uint8_t>(mode == 1 ? 'A' : component.flag);
        slot.dictionaryPosition = dictionary_.dataPosition + kDictionaryRecordOffset +
                                  int64_t{component.dictionaryRecord - 1} * kDictionaryRecordLength;
    }
    BoundLayout& entry = entries()[entryIndex];
    pointFieldsInto(entry);
    buildNameBlock(entry);
    return 0;
}

void BoundLayouts::buildNameBlock(BoundLayout& entry) {
    memory_.VTi_free(entry.nameBlock);
    size_t capacity = static_cast<size_t>(entry.fieldCount) * kNameSpacePerField + 1;
    int32_t handle = memory_.VTi_AllocMem(1, tags::kNameBlock, false, capacity);
    auto* block = static_cast<char*>(memory_.lock(handle));
    block[0] = '\0';
    size_t used = 1;
    auto append = [&](std::string_view name) {
        int32_t position = static_cast<int32_t>(used);
        if (!name.empty()) std::memcpy(block + used, name.data(), name.size());
        used += name.size();
        block[used++] = '\0';
        return position;
    };
    // The block is sized for the entry's components, yet every field with its layout number is
    // named here: two entries may share a number (one layout bound under two names, or two
    // catalogue records with one number), and then the fields outnumber the room. The first
    // test only leaves room for one name, so each field is also measured before it is written.
    for (FieldSlot& slot : fields_.slots()) {
        if (!FieldTable::inUse(slot) || slot.layoutNumber != entry.layoutNumber) continue;
        if (used + kRoomForNextField > capacity) break;
        DictionaryNames names = readDictionaryNames(stream_, slot.dictionaryPosition);
        if (used + nameBlockSpace(names) > capacity) break;
        slot.shortNamePosition = append(names.shortName);
        slot.longNamePosition =
            names.longName != names.shortName ? append(names.longName) : slot.shortNamePosition;
        if (names.thirdName == names.shortName)
            slot.thirdNamePosition = slot.shortNamePosition;
        else
            slot.thirdNamePosition =
                names.thirdName != names.longName ? append(names.thirdName) : slot.longNamePosition;
    }
    entry.nameBlock = memory_.VTi_ReAllocMem(handle, 1, tags::kNameBlock, false, used + 1);
}

int32_t BoundLayouts::VTi_FreeRecordLayout(std::string_view name) {
    BoundLayout* entry = findByName(name);
    if (entry == nullptr) return 605;
    forgetRememberedLookup();
    bool hadFields = false;
    for (FieldSlot& slot : fields_.slots()) {
        if (FieldTable::inUse(slot) && slot.layoutNumber == entry->layoutNumber) {
            FieldTable::clear(slot);
            hadFields = true;
        }
    }
    memory_.VTi_free(entry->nameBlock);
    *entry = BoundLayout{{}, 0, -1, nullptr, 0, 0};
    return hadFields ? 0 : 606;
}

void BoundLayouts::detachBuffer(const char* buffer) {
    for (BoundLayout& entry : entries()) {
        if (entry.layoutNumber == -1 || entry.recordBuffer != buffer) continue;
        entry.recordBuffer = nullptr;
        entry.recordLength = 0;
        pointFieldsInto(entry);
    }
}

int32_t BoundLayouts::VTi_GetRecordLayoutInit(std::string_view name, int32_t* fieldCount) {
    BoundLayout* entry = findByName(name, true);
    if (entry == nullptr) return 605;
    cursorEntry_ = static_cast<int32_t>(entry - entries().data());
    cursorLayout_ = entry->layoutNumber;
    cursorSlot_ = -1;
    *fieldCount = entry->fieldCount;
    return 0;
}

int32_t BoundLayouts::VTi_GetRecordLayoutField(FieldDescription* field) {
    auto slots = fields_.slots();
    if (cursorEntry_ < 0 || cursorLayout_ == -1) return 606;
    for (size_t i = static_cast<size_t>(cursorSlot_ + 1); i < slots.size(); ++i) {
        const FieldSlot& slot = slots[i];
        if (!FieldTable::inUse(slot) || slot.layoutNumber != cursorLayout_) continue;
        cursorSlot_ = static_cast<int32_t>(i);
        *field = FieldDescription{slot.firstColumn,
                                  slot.localNumber,
                                  nameOf(slot, NameKind::Short),
                                  nameOf(slot, NameKind::Long),
                                  nameOf(slot, NameKind::Third),
                                  slot.typeCode,
                                  slot.length,
                                  static_cast<int32_t>(i)};
        return 0;
    }
    cursorSlot_ = static_cast<int32_t>(slots.size());
    return 606;
}

std::string_view BoundLayouts::nameOf(const FieldSlot& slot, NameKind kind) {
    for (const BoundLayout& entry : entries()) {
        if (entry.layoutNumber != slot.layoutNumber || entry.nameBlock == 0) continue;
        int32_t position = kind == NameKind::Short  ? slot.shortNamePosition
                           : kind == NameKind::Long ? slot.longNamePosition
                                                    : slot.thirdNamePosition;
        size_t size = memory_.blockSize(entry.nameBlock);
        if (position < 0 || static_cast<size_t>(position) >= size) return {};
        const char* block = static_cast<const char*>(memory_.lock(entry.nameBlock));
        return {block + position, strnlen(block + position, size - static_cast<size_t>(position))};
    }
    return {};
}

int32_t BoundLayouts::searchFields(const char* layout, bool emptyMeansAll,
                                   bool (*matches)(const FieldSlot&, const void*),
                                   const void* wanted) {
    bool restricted = layout != nullptr && !(emptyMeansAll && layout[0] == '\0');
    int32_t fallback = -1;
    auto slots = fields_.slots();
    for (const BoundLayout& entry : entries()) {
        if (entry.layoutNumber == -1) continue;
        if (restricted && !equalsIgnoringCase(entry.name, layout)) continue;
        for (size_t i = 0; i < slots.size(); ++i) {
            const FieldSlot& slot = slots[i];
            if (!FieldTable::inUse(slot) || slot.layoutNumber != entry.layoutNumber) continue;
            if (!matches(slot, wanted)) continue;
            if (!restricted && hasFallbackFlags(slot)) {
                if (fallback == -1) fallback = static_cast<int32_t>(i);
                continue;
            }
            return static_cast<int32_t>(i);
        }
    }
    return fallback;
}

int32_t BoundLayouts::VTi_FieldHandle(std::string_view name, NameKind kind, const char* layout) {
    struct Wanted {
        BoundLayouts* self;
        std::string_view name;
        NameKind kind;
    } wanted{this, name, kind};
    return searchFields(
        layout, true,
        [](const FieldSlot& slot, const void* context) {
            auto* w = static_cast<const Wanted*>(context);
            return equalsIgnoringCase(w->self->nameOf(slot, w->kind), w->name);
        },
        &wanted);
}

int32_t BoundLayouts::VTi_FieldHandleByLocal(int32_t localNumber, const char* layout) {
    return searchFields(
        layout, false,
        [](const FieldSlot& slot, const void* context) {
            return slot.localNumber == *static_cast<const int32_t*>(context);
        },
        &localNumber);
}

const char* BoundLayouts::VTi_FieldName(int32_t handle, NameKind kind) {
    auto slots = fields_.slots();
    if (handle < 0 || static_cast<size_t>(handle) >= slots.size()) return nullptr;
    const FieldSlot& slot = slots[static_cast<size_t>(handle)];
    if (!FieldTable::inUse(slot)) return nullptr;
    for (const BoundLayout& entry : entries())
        if (entry.layoutNumber == slot.layoutNumber && entry.nameBlock != 0)
            return nameOf(slot, kind).data();
    return nullptr;
}

int32_t BoundLayouts::VTi_LocalNumFromHnd(int32_t handle) {
    auto slots = fields_.slots();
    if (handle < 0 || static_cast<size_t>(handle) >= slots.size()) return -1;
    const FieldSlot& slot = slots[static_cast<size_t>(handle)];
    return FieldTable::inUse(slot) ? slot.localNumber : -1;
}

void BoundLayouts::applyOptions(FieldSlot& slot, int32_t options) {
    slot.flags = static_cast<uint8_t>(slot.flags & ~(kFieldSkipsEdits | kFieldOverride));
    if ((options & 8) != 0) slot.flags |= kFieldSkipsEdits;
    if ((options & 4) != 0) slot.flags |= kFieldOverride;
}

int32_t BoundLayouts::VTi_FieldOptions(int32_t handle, int32_t options) {
    auto slots = fields_.slots();
    if (handle < 0 || static_cast<size_t>(handle) >= slots.size()) return 606;
    applyOptions(slots[static_cast<size_t>(handle)], options);
    return 0;
}

int32_t BoundLayouts::VTi_RecordLayoutOptions(std::string_view name, int32_t options) {
    BoundLayout* entry = findByName(name);
    if (entry == nullptr) return 605;
    bool any = false;
    for (FieldSlot& slot : fields_.slots()) {
        if (FieldTable::inUse(slot) && slot.layoutNumber == entry->layoutNumber) {
            applyOptions(slot, options);
            any = true;
        }
    }
    return any ? 0 : 606;
}

int32_t BoundLayouts::fieldForLocal(int32_t localNumber) {
    localNumber = std::abs(localNumber);
    if (localNumber == rememberedLocal_) return rememberedSlot_;
    auto slots = fields_.slots();
    int32_t fallback = -1;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!FieldTable::inUse(slots[i]) || slots[i].localNumber != localNumber) continue;
        if (!isAlternate(slots[i])) {
            rememberedLocal_ = localNumber;
            rememberedSlot_ = static_cast<int32_t>(i);
            return rememberedSlot_;
        }
        if (fallback == -1) fallback = static_cast<int32_t>(i);
    }
    return fallback == -1 ? -1 : -2;
}

int32_t BoundLayouts::fieldForLocalIgnoringFlags(int32_t localNumber) {
    localNumber = std::abs(localNumber);
    if (localNumber == rememberedLocal_) return rememberedSlot_;
    auto slots = fields_.slots();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (FieldTable::inUse(slots[i]) && slots[i].localNumber == localNumber) {
            rememberedLocal_ = localNumber;
            rememberedSlot_ = static_cast<int32_t>(i);
            return rememberedSlot_;
        }
    }
    return -1;
}

int32_t BoundLayouts::fieldForLocalInLayout(int32_t localNumber, int32_t layoutNumber) {
    localNumber = std::abs(localNumber);
    auto slots = fields_.slots();
    for (size_t i = 0; i < slots.size(); ++i)
        if (FieldTable::inUse(slots[i]) && slots[i].localNumber == localNumber &&
            slots[i].layoutNumber == layoutNumber)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t BoundLayouts::fieldForLocalValue(int32_t localNumber) {
    localNumber = std::abs(localNumber);
    if (localNumber == rememberedLocal_) return rememberedSlot_;
    auto slots = fields_.slots();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (FieldTable::inUse(slots[i]) && slots[i].localNumber == localNumber &&
            slots[i].flags != 'A') {
            rememberedLocal_ = localNumber;
            rememberedSlot_ = static_cast<int32_t>(i);
            return rememberedSlot_;
        }
    }
    return -1;
}

} // namespace vetra
