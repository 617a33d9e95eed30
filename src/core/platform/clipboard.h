#pragma once

#include <QString>

namespace vespira::platform {

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString &text) = 0;
    [[nodiscard]] virtual QString text() const = 0;
};

} // namespace vespira::platform
