#pragma once
#include <QUrl>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace platform
