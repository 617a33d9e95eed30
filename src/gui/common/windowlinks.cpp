#include "gui/common/windowlinks.h"

namespace vespira::gui {

WindowLinks &WindowLinks::none()
{
    static WindowLinks links;
    return links;
}

} // namespace vespira::gui
