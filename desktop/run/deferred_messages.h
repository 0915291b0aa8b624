// Message boxes kept for later: a part of a run checked on another thread cannot show anything
// itself, and whether what it had to say is shown depends on where the whole run ended.
#pragma once

#include "platform/message_boxes.h"

#include <string>
#include <vector>

namespace vetra::desktop {

class DeferredMessageBoxes : public platform::MessageBoxes {
public:
    // Kept; a question is taken as declined, as nobody is there to answer it yet.
    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons) override {
        kept_.push_back({text, caption, buttons});
        return buttons == platform::MessageButtons::YesNo ? platform::MessageAnswer::No
                                                          : platform::MessageAnswer::Ok;
    }

    // Shows what was kept, in order.
    void showNow(platform::MessageBoxes& boxes) const {
        for (const auto& message : kept_)
            boxes.show(message.text, message.caption, message.buttons);
    }

private:
    struct Message {
        std::string text;
        std::string caption;
        platform::MessageButtons buttons;
    };
    std::vector<Message> kept_;
};

} // namespace vetra::desktop
