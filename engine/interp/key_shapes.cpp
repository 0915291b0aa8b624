#include "key_shapes.h"

namespace vetra {

void KeyShapes::restart() {
    base_ += nodes_.size() + 1; // never 0, never a number given before
    nodes_.clear();
    nodes_.push_back({});
}

uint64_t KeyShapes::child(uint64_t parent, std::string_view key) {
    if (parent < base_ || parent - base_ >= nodes_.size()) return kUnknown;
    size_t index = static_cast<size_t>(parent - base_);
    for (uint32_t candidate : nodes_[index].children)
        if (nodes_[candidate].key == key) return base_ + candidate;
    if (nodes_.size() >= kMaxShapes) return kUnknown;
    auto added = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back({std::string(key), {}});
    nodes_[index].children.push_back(added); // after push_back: nodes_ may have moved
    return base_ + added;
}

} // namespace vetra
