#include "gui/common/lastresort.h"

#include "core/common/error.h"

#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace vespira::gui {

bool LastResort::deliver(const std::function<bool()> &deliver) noexcept
{
    try {
        return deliver();
    } catch (const Error &e) {
        report(e.message());
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(u"Unbekannter Fehler"_s);
    }
    return false;
}

void LastResort::report(const QString &message) noexcept
{
    if (m_reporting)
        return;
    m_reporting = true;
    try {
        m_dialogs.error(message);
    } catch (...) {
        // Nothing is left to show it with.
    }
    m_reporting = false;
}

} // namespace vespira::gui
