// The translations of one interpreter: for each logic it has run, the decoded tokens and the
// expression plans made from them, found again by the logic's text on every later run.
//
// A translation is kept per interpreter (per metafile instance), not shared: what it learns
// while running (which record a name found, which plans were made) is written as it runs, and
// an instance belongs to one thread. Parts of a run that go in several processes each make
// their own, which costs little beside a part's records.
//
// A logic is found by where its text lies and checked against a copy of the text, so that a
// text freed and another put in its place is never run with the old translation. A logic
// longer than kMaxLogicBytes is not translated (it runs on the reference path), and the cache
// holds translations of at most kMaxCacheBytes; past that it starts empty again.
#pragma once

#include "engine/interp/decoded_logic.h"
#include "engine/interp/expression_plan.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace vetra {

struct Translation {
    explicit Translation(std::string_view logic) : decoded(logic) {}

    DecodedLogic decoded;
    ExpressionPlans plans;
};

class TranslationCache {
public:
    static constexpr size_t kMaxLogicBytes = 256u << 10;
    static constexpr size_t kMaxCacheBytes = 64u << 20;

    // The translation of `logic`, made the first time; null for a logic too long to translate.
    Translation* translationOf(std::string_view logic);

    size_t size() const { return translations_.size(); }
    // Bytes the translations hold, plans included.
    size_t bytes() const;

private:
    std::unordered_map<const char*, std::unique_ptr<Translation>> translations_;
    size_t cacheBytes_ = 0; // of the translations as made; their plans grow within bounds
};

} // namespace vetra
