#pragma once

#include <QString>

namespace vespira::app {

// The busy indicator's count: one more degree sign per second, five growing rows and one
// empty second. Starting or stopping the timer leaves the count alone, so a restarted
// indicator goes on where it stopped.
class BusyTicks
{
public:
    // Advances by one second and returns the text to show.
    QString tick();
    int counter() const { return m_counter; }

private:
    int m_counter = 0;
};

// The busy label's left edge: centred over the close button, shifted 20 pixels left.
constexpr int busyLabelLeft(int buttonLeft, int buttonWidth)
{
    return buttonLeft + buttonWidth / 2 - 20;
}

} // namespace vespira::app
