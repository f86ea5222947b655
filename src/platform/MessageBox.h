#pragma once
#include <QString>

namespace platform {

// Button sets and answers of a modal message box.
enum class Buttons { OkOnly, OkCancel, RetryCancel, YesNo };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Retry, Yes, No };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows a modal box and returns the button pressed. An empty title shows "Voltrane".
    virtual Answer show(const QString& text, Buttons buttons, const QString& title,
                        Icon icon = Icon::None) = 0;
};

} // namespace platform
