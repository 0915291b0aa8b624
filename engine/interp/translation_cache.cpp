#include "translation_cache.h"

#include <cstring>

namespace vetra {

Translation& TranslationCache::translationOf(std::string_view logic) {
    auto found = translations_.find(logic.data());
    if (found != translations_.end()) {
        std::string_view known = found->second->decoded.logic();
        if (known.size() == logic.size() &&
            std::memcmp(known.data(), logic.data(), logic.size()) == 0)
            return *found->second;
        logicBytes_ -= known.size();
        translations_.erase(found);
    }
    if (logicBytes_ + logic.size() > kMaxLogicBytes) {
        translations_.clear();
        logicBytes_ = 0;
    }
    logicBytes_ += logic.size();
    auto made = std::make_unique<Translation>(logic);
    Translation& translation = *made;
    translations_.emplace(logic.data(), std::move(made));
    return translation;
}

size_t TranslationCache::bytes() const {
    size_t total = 0;
    for (const auto& [text, translation] : translations_)
        total += translation->decoded.bytes() + translation->plans.bytes();
    return total;
}

} // namespace vetra
