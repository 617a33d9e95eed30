#pragma once

#include "core/common/error.h"
#include "core/platform/dialogs.h"

#include <QString>

#include <exception>

namespace vespira::gui {

// Runs a handler body and shows any escaping error in the error box, so no exception
// reaches the event loop. Returns false when the body failed.
template <typename Body>
bool guarded(platform::Dialogs &dialogs, Body &&body) noexcept
{
    try {
        body();
        return true;
    } catch (const Error &e) {
        dialogs.error(e.message());
    } catch (const std::exception &e) {
        dialogs.error(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        dialogs.error(QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

} // namespace vespira::gui
