// Message boxes: the one way the workflow asks or tells the user something. The desktop
// program shows them as dialogs; the batch command and the tests answer them themselves.
#pragma once

#include <string>

namespace vetra::platform {

enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows `text` under `caption` (empty for a box without one) and waits for the answer.
    virtual MessageAnswer show(const std::string& text, const std::string& caption,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

} // namespace vetra::platform
