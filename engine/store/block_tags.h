// Tags of the memory manager's blocks. Only kEditSet is checked (a host's edit set handle must
// name a block with that tag); the others label blocks for inspection.
#pragma once

#include <cstdint>

namespace vetra::tags {

constexpr int32_t kDirectory = 1;
constexpr int32_t kFieldTable = 2;
constexpr int32_t kTableDescriptor = 3;
constexpr int32_t kTableFields = 4;
constexpr int32_t kFieldValue = 5;
constexpr int32_t kRecordBuffer = 6;
constexpr int32_t kBoundLayouts = 7;
constexpr int32_t kNameBlock = 8;
constexpr int32_t kEngineVariable = 9;
constexpr int32_t kEditSet = 10;
constexpr int32_t kEditEntries = 11;
constexpr int32_t kEditNames = 12;
constexpr int32_t kEditLogic = 13;
constexpr int32_t kEditFieldReferences = 14;
constexpr int32_t kMessageText = 15;
constexpr int32_t kIndexSearch = 16;
constexpr int32_t kLocalArray = 17;

} // namespace vetra::tags
