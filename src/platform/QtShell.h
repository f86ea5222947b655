#pragma once
#include "Shell.h"

namespace platform {

class QtShell : public Shell {
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace platform
