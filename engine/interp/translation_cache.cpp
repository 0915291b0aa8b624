#include "translation_cache.h"

#include <cstring>

namespace vetra {

Translation* TranslationCache::translationOf(std::string_view logic) {
    if (logic.size() > kMaxLogicBytes) return nullptr;
    auto found = translations_.find(logic.data());
    if (found != translations_.end()) {
        std::string_view known = found->second->decoded.logic();
        if (known.size() == logic.size() &&
            std::memcmp(known.data(), logic.data(), logic.size()) == 0)
            return found->second.get();
        translations_.erase(found); // its bytes stay counted until the cache starts again
    }
    auto made = std::make_unique<Translation>(logic);
    size_t bytes = made->decoded.bytes();
    if (cacheBytes_ + bytes > kMaxCacheBytes) {
        translations_.clear();
        cacheBytes_ = 0;
    }
    cacheBytes_ += bytes;
    Translation* translation = made.get();
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
