// Message boxes for tests: every box shown is recorded, and the answers come from a script
// queued beforehand. When the script runs out, a box is answered as a user who only closes it
// would: Ok for a box with only an Ok button, No for a question, Cancel for an Ok/Cancel box.
#pragma once

#include "platform/message_boxes.h"

#include <deque>
#include <string>
#include <vector>

namespace vetra::testing {

class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string caption;
        platform::MessageButtons buttons;
    };

    // Queues the answer to the next box not yet answered.
    void answerNext(platform::MessageAnswer answer) { answers_.push_back(answer); }

    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons) override {
        shown_.push_back({text, caption, buttons});
        if (!answers_.empty()) {
            const platform::MessageAnswer answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        switch (buttons) {
        case platform::MessageButtons::YesNo:
            return platform::MessageAnswer::No;
        case platform::MessageButtons::OkCancel:
            return platform::MessageAnswer::Cancel;
        case platform::MessageButtons::Ok:
            break;
        }
        return platform::MessageAnswer::Ok;
    }

    const std::vector<Shown>& shown() const { return shown_; }
    // Answers queued but not yet used: a test can check that every expected box appeared.
    std::size_t unusedAnswers() const { return answers_.size(); }

private:
    std::deque<platform::MessageAnswer> answers_;
    std::vector<Shown> shown_;
};

} // namespace vetra::testing
