#pragma once

#include <QString>

#include <stdexcept>

namespace vespira {

// An unexpected failure (a file that cannot be read or written, say). Carries the
// German text the user sees; handlers catch it at their edge and show it in an error box.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error {message.toStdString()}
        , m_message {message}
    {
    }

    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace vespira
