// Shapes of a local variable table: the sequence of keys its records carry, named by one
// number. Which record a name finds depends on that sequence alone (the last record with the
// name's key), so a place in edit logic that remembers the record it found for a shape can
// use it again, without a search, whenever the table has that shape again: on every loop
// pass and on every run that declares the same variables in the same order.
//
// Shapes form a tree: a shape's children are the shapes one more record with a given key
// makes. Numbers are never given twice, so a number remembered from a tree that has since
// been dropped matches nothing. The tree holds at most kMaxShapes; beyond, every further
// shape is kUnknown, which matches nothing, until the owner starts the tree again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

class KeyShapes {
public:
    static constexpr uint64_t kUnknown = 0;
    static constexpr size_t kMaxShapes = 65536;

    KeyShapes() { restart(); }

    uint64_t root() const { return base_; }
    // The shape `parent` becomes with one more record of `key`.
    uint64_t child(uint64_t parent, std::string_view key);
    // Drops the tree when it has grown past its bound; the root gets a new number.
    void restartIfFull() {
        if (nodes_.size() >= kMaxShapes) restart();
    }

private:
    struct Node {
        std::string key;
        std::vector<uint32_t> children; // indexes into nodes_
    };

    void restart();

    std::vector<Node> nodes_;
    uint64_t base_ = 0; // the number of nodes_[0]
};

} // namespace vetra
