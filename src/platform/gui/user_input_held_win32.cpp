#include "platform/gui/user_input_held.h"

#include <QCoreApplication>

namespace ferrowyn {

// The user's input is dropped by the filter, so only painting and the system's own messages get anywhere.
void UserInputHeld::letTheSystemIn() {
    QCoreApplication::processEvents();
}

} // namespace ferrowyn
