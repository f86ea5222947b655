#pragma once
#include "MessageBox.h"

namespace platform {

class QtMessageBox : public MessageBox {
public:
    Answer show(const QString& text, Buttons buttons, const QString& title, Icon icon) override;
};

} // namespace platform
