#include "platform/gui/user_input_held.h"

namespace ferrowyn {

// The window system here waits for a busy program without complaint: the pass keeps its thread to itself.
void UserInputHeld::letTheSystemIn() {}

} // namespace ferrowyn
