#include "layout_catalogue.h"

#include "engine/store/internal_records.h"
#include "engine/store/table_file.h"

#include <algorithm>
#include <cstdio>

namespace vetra {

namespace {

int32_t numberAt(std::string_view record, size_t offset, size_t width) {
    return static_cast<int32_t>(parseDecimalText(recordField(record, offset, width)));
}

LayoutComponent readComponent(std::string_view bytes) {
    LayoutComponent component;
    component.localNumber = numberAt(bytes, 0, 8);
    component.typeCode = std::string(trimTrailingBlanks(recordField(bytes, 8, 2)));
    component.layoutNumber = numberAt(bytes, 10, 4);
    component.firstColumn = numberAt(bytes, 14, 5);
    component.length = numberAt(bytes, 23, 4);
    std::string_view flag = recordField(bytes, 27, 1);
    component.flag = flag.empty() ? ' ' : flag[0];
    component.dictionaryRecord = numberAt(bytes, 35, 8);
    return component;
}

} // namespace

std::string_view LayoutCatalogue::record(int64_t n) const {
    return internalRecord(stream_, table_, kCatalogueTable, n);
}

int32_t LayoutCatalogue::countRecords(std::string_view kind) const {
    if (!exists()) return 0;
    int32_t count = 0;
    for (int64_t n = 1; n <= table_.recordCount; ++n)
        if (record(n).starts_with(kind)) ++count;
    return count;
}

std::string_view LayoutCatalogue::nthRecord(std::string_view kind, int32_t n) const {
    if (!exists() || n < 1) return {};
    int32_t seen = 0;
    for (int64_t i = 1; i <= table_.recordCount; ++i) {
        std::string_view candidate = record(i);
        if (candidate.starts_with(kind) && ++seen == n) return candidate;
    }
    return {};
}

std::string LayoutCatalogue::layoutName(std::string_view record) const {
    return std::string(trimTrailingBlanks(recordField(record, 7, 30)));
}

std::string LayoutCatalogue::editSetName(std::string_view record) const {
    return std::string(trimTrailingBlanks(recordField(record, 2, 50)));
}

int32_t LayoutCatalogue::layoutNumberByName(std::string_view name) const {
    if (!exists()) return 0;
    std::string padded(name.substr(0, 30));
    padded.resize(30, ' ');
    for (int64_t n = 1; n <= table_.recordCount; ++n) {
        std::string_view candidate = record(n);
        if (candidate.starts_with("RL") &&
            equalsIgnoringCase(recordField(candidate, 7, 30), padded))
            return numberAt(candidate, 2, 4);
    }
    return 0;
}

std::string_view LayoutCatalogue::layoutRecord(int32_t layoutNumber) const {
    if (!exists()) return {};
    char key[16];
    std::snprintf(key, sizeof key, "RL%4ld", static_cast<long>(layoutNumber));
    for (int64_t n = 1; n <= table_.recordCount; ++n) {
        std::string_view candidate = record(n);
        if (recordField(candidate, 0, 6) == std::string_view(key, 6)) return candidate;
    }
    return {};
}

std::vector<LayoutComponent> LayoutCatalogue::components(std::string_view layoutRecord) const {
    int32_t recordSize = numberAt(layoutRecord, 52, 4);
    int32_t count = numberAt(layoutRecord, 56, 4);
    std::string_view memo = memoContent(stream_, table_, recordField(layoutRecord, 152, 10));
    std::vector<LayoutComponent> result;
    if (recordSize <= 0 || count <= 0) return result;
    size_t available = memo.size() / static_cast<size_t>(recordSize);
    size_t total = std::min(static_cast<size_t>(count), available);
    result.reserve(total);
    for (size_t i = 0; i < total; ++i)
        result.push_back(readComponent(
            memo.substr(i * static_cast<size_t>(recordSize), static_cast<size_t>(recordSize))));
    return result;
}

int32_t LayoutCatalogue::recordLength(std::string_view layoutRecord) const {
    int32_t length = 0;
    for (const LayoutComponent& component : components(layoutRecord))
        length = std::max(length, component.lastColumn());
    return length;
}

std::string_view LayoutCatalogue::descriptionOf(std::string_view record) const {
    return memoContent(stream_, table_, recordField(record, 162, 10));
}

std::optional<std::string_view> LayoutCatalogue::descriptionByName(std::string_view kind,
                                                                   size_t nameOffset,
                                                                   size_t nameWidth,
                                                                   std::string_view name) const {
    if (!exists()) return std::nullopt;
    for (int64_t n = 1; n <= table_.recordCount; ++n) {
        std::string_view candidate = record(n);
        if (candidate.starts_with(kind) &&
            equalsIgnoringCase(trimTrailingBlanks(recordField(candidate, nameOffset, nameWidth)),
                               name))
            return descriptionOf(candidate);
    }
    return std::nullopt;
}

std::optional<std::string_view> LayoutCatalogue::layoutDescription(std::string_view name) const {
    return descriptionByName("RL", 7, 45, name);
}

std::optional<std::string_view> LayoutCatalogue::editSetDescription(std::string_view name) const {
    return descriptionByName("ES", 2, 50, name);
}

} // namespace vetra
