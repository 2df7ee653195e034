#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QQueue>

namespace ferrowyn {
namespace {

struct Script {
    bool active = false;
    QQueue<MessageAnswer> answers;
    QList<ShownMessage> shown;
};

Script& script() {
    static Script instance;
    return instance;
}

MessageAnswer answerFromScript(const ShownMessage& message) {
    Script& s = script();
    s.shown.append(message);
    const MessageButtons buttons = message.buttons;
    if (!s.answers.isEmpty()) {
        return s.answers.dequeue();
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

MessageAnswer askTheUser(const ShownMessage& message) {
    const MessageButtons buttons = message.buttons;
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(message.title);
    box.setText(breakable(message.prompt));
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(message.defaultAnswer == MessageAnswer::No ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    default:
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

} // namespace

MessageAnswer MessageBox::show(const QString& prompt, MessageButtons buttons, const QString& title,
                               MessageAnswer defaultAnswer) {
    const ShownMessage message{prompt, title.isEmpty() ? QApplication::applicationName() : title, buttons,
                               buttons == MessageButtons::Ok ? MessageAnswer::Ok : defaultAnswer};
    return script().active ? answerFromScript(message) : askTheUser(message);
}

void MessageBox::scriptAnswers() {
    script().active = true;
}

void MessageBox::setNextAnswer(MessageAnswer answer) {
    script().answers.enqueue(answer);
}

const QList<ShownMessage>& MessageBox::shown() {
    return script().shown;
}

void MessageBox::clearScript() {
    Script& s = script();
    s.answers.clear();
    s.shown.clear();
}

} // namespace ferrowyn
