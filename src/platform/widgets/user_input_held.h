#pragma once

#include <QObject>

namespace ferrowyn {

// While it lives, what the user does with keys, mouse and drops reaches no window: it is dropped, never kept to be
// replayed afterwards (a click on a list during an obliteration must not choose a file once it is over). A modal
// box shown meanwhile, a question, takes its answer: Qt itself keeps the input from every other window while it
// shows. When the hold ends, the input that arrived meanwhile is dropped too.
class UserInputHeld : public QObject {
public:
    UserInputHeld();
    ~UserInputHeld() override;
    UserInputHeld(const UserInputHeld&) = delete;
    UserInputHeld& operator=(const UserInputHeld&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ferrowyn
