#include "message_list.h"

namespace vetra {

std::string_view MessageList::add(std::string_view text, uint8_t type, int32_t messageNumber,
                                  int32_t editIndex) {
    if (count_ < kCapacity) {
        StoredMessage& entry = entries_[static_cast<size_t>(count_)];
        if (count_ == kNoticeAt) {
            entry.editIndex = 0;
            entry.messageNumber = 0;
            entry.type = kErrorMessage;
            entry.text = "Vetra Message: MAXIMUM OF " + std::to_string(kNoticeAt) +
                         " ERRORS PER RECORD EXCEEDED.";
        } else {
            entry.editIndex = editIndex;
            entry.messageNumber = messageNumber;
            entry.type = type;
            entry.text.assign(text);
        }
        text = entry.text;
    }
    ++count_;
    return text;
}

const StoredMessage* MessageList::find(int32_t number) const {
    if (number < 1 || number > count_ || number > kCapacity) return nullptr;
    return &entries_[static_cast<size_t>(number - 1)];
}

} // namespace vetra
