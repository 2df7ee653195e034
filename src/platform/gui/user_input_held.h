#pragma once

#include <QObject>

namespace ferrowyn {

// While it lives, what the user does with keys, mouse and drops reaches no window: it is dropped, never kept to be
// replayed afterwards (a click on a list during an obliteration must not choose a file once it is over). When
// it ends, the input that arrived meanwhile is dropped too.
class UserInputHeld : public QObject {
public:
    UserInputHeld();
    ~UserInputHeld() override;
    UserInputHeld(const UserInputHeld&) = delete;
    UserInputHeld& operator=(const UserInputHeld&) = delete;

    // Lets the window system in while the program holds its thread: on Windows, which marks a window that
    // answers no messages for five seconds as not responding, the windows paint and answer it; elsewhere
    // nothing happens.
    static void letTheSystemIn();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ferrowyn
