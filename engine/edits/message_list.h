// The messages of the current record: what the last run operation raised, readable until the
// next run empties the list. Only the first 400 are kept; the 400th is replaced by a notice
// that the limit was passed, and every later one is only counted.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vetra {

inline constexpr uint8_t kErrorMessage = 0;
inline constexpr uint8_t kWarningMessage = 2;

struct StoredMessage {
    int32_t editIndex = 0;
    int32_t messageNumber = 0;
    uint8_t type = kErrorMessage;
    std::string text;
};

class MessageList {
public:
    static constexpr int32_t kCapacity = 400;
    static constexpr int32_t kNoticeAt = 399; // count before the notice

    void clear() { count_ = 0; }
    // Every message raised since the list was emptied, stored or not.
    int32_t count() const { return count_; }
    // Whether the next message is stored as itself (not the notice, not beyond the list).
    bool nextIsOrdinary() const { return count_ < kNoticeAt; }

    // Adds a message and returns the text that was added: the notice in place of the 400th.
    std::string_view add(std::string_view text, uint8_t type, int32_t messageNumber,
                         int32_t editIndex);
    // Message `number` (from 1) when it is stored; null otherwise.
    const StoredMessage* find(int32_t number) const;

private:
    std::array<StoredMessage, kCapacity> entries_;
    int32_t count_ = 0;
    std::string notice_;
};

} // namespace vetra
