#include "platform/gui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QQueue>

namespace ferrowyn {
namespace {

struct Script {
    bool active = false;
    QQueue<MessageAnswer> answers;
    QList<ShownMessage> shown;
    int unanswered = 0;
};

Script& script() {
    static Script instance;
    return instance;
}

MessageAnswer answerFromScript(const QString& prompt, MessageButtons buttons, const QString& title) {
    Script& s = script();
    s.shown.append({prompt, title, buttons});
    if (!s.answers.isEmpty()) {
        return s.answers.dequeue();
    }
    ++s.unanswered;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

MessageAnswer askTheUser(const QString& prompt, MessageButtons buttons, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
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

MessageAnswer MessageBox::show(const QString& prompt, MessageButtons buttons, const QString& title) {
    const QString shownTitle = title.isEmpty() ? QApplication::applicationName() : title;
    if (script().active) {
        return answerFromScript(prompt, buttons, shownTitle);
    }
    return askTheUser(prompt, buttons, shownTitle);
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

int MessageBox::unanswered() {
    return script().unanswered;
}

void MessageBox::clearScript() {
    Script& s = script();
    s.answers.clear();
    s.shown.clear();
    s.unanswered = 0;
}

} // namespace ferrowyn
