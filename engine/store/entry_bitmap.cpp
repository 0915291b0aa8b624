#include "entry_bitmap.h"

#include <algorithm>
#include <bit>

namespace vetra {

namespace {

constexpr int32_t kBits = 64;

uint64_t bitsFrom(int32_t bit) {
    return ~uint64_t{0} << bit;
}

uint64_t bitsUpTo(int32_t bit) {
    return bit == kBits - 1 ? ~uint64_t{0} : (uint64_t{1} << (bit + 1)) - 1;
}

int32_t lowest(uint64_t bits) {
    return std::countr_zero(bits);
}

int32_t highest(uint64_t bits) {
    return kBits - 1 - std::countl_zero(bits);
}

} // namespace

void EntryBitmap::resize(int32_t count) {
    size_t words = (static_cast<size_t>(count) + kBits - 1) / kBits;
    words_.resize(words);
    summary_.resize((words + kBits - 1) / kBits);
}

void EntryBitmap::clear() {
    words_.clear();
    summary_.clear();
}

void EntryBitmap::insert(int32_t entry) {
    size_t word = static_cast<size_t>(entry / kBits);
    words_[word] |= uint64_t{1} << (entry % kBits);
    summary_[word / kBits] |= uint64_t{1} << (word % kBits);
}

void EntryBitmap::erase(int32_t entry) {
    size_t word = static_cast<size_t>(entry / kBits);
    words_[word] &= ~(uint64_t{1} << (entry % kBits));
    if (words_[word] == 0) summary_[word / kBits] &= ~(uint64_t{1} << (word % kBits));
}

// The first word at or after `word` that has a member, by the summary.
int32_t EntryBitmap::firstWordFrom(int32_t word) const {
    auto count = static_cast<int32_t>(words_.size());
    if (word >= count) return kNone;
    size_t group = static_cast<size_t>(word / kBits);
    uint64_t bits = summary_[group] & bitsFrom(word % kBits);
    while (bits == 0) {
        if (++group == summary_.size()) return kNone;
        bits = summary_[group];
    }
    return static_cast<int32_t>(group) * kBits + lowest(bits);
}

int32_t EntryBitmap::lastWordUpTo(int32_t word) const {
    if (word < 0) return kNone;
    size_t group = static_cast<size_t>(word / kBits);
    uint64_t bits = summary_[group] & bitsUpTo(word % kBits);
    while (bits == 0) {
        if (group == 0) return kNone;
        bits = summary_[--group];
    }
    return static_cast<int32_t>(group) * kBits + highest(bits);
}

int32_t EntryBitmap::firstFrom(int32_t entry) const {
    if (entry < 0) entry = 0;
    int32_t word = entry / kBits;
    if (word >= static_cast<int32_t>(words_.size())) return kNone;
    uint64_t bits = words_[static_cast<size_t>(word)] & bitsFrom(entry % kBits);
    if (bits != 0) return word * kBits + lowest(bits);
    word = firstWordFrom(word + 1);
    return word == kNone ? kNone : word * kBits + lowest(words_[static_cast<size_t>(word)]);
}

int32_t EntryBitmap::lastUpTo(int32_t entry) const {
    if (entry < 0 || words_.empty()) return kNone;
    int32_t word = std::min(entry / kBits, static_cast<int32_t>(words_.size()) - 1);
    int32_t bit = word == entry / kBits ? entry % kBits : kBits - 1;
    uint64_t bits = words_[static_cast<size_t>(word)] & bitsUpTo(bit);
    if (bits != 0) return word * kBits + highest(bits);
    word = lastWordUpTo(word - 1);
    return word == kNone ? kNone : word * kBits + highest(words_[static_cast<size_t>(word)]);
}

} // namespace vetra
