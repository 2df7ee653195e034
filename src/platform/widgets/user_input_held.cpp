#include "platform/widgets/user_input_held.h"

#include <QApplication>
#include <QEvent>

namespace ferrowyn {

UserInputHeld::UserInputHeld() {
    QCoreApplication::instance()->installEventFilter(this);
}

UserInputHeld::~UserInputHeld() {
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(this);
}

bool UserInputHeld::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (QApplication::activeModalWidget() != nullptr) {
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace ferrowyn
