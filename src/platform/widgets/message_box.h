#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <memory>

class QWidget;

namespace ferrowyn {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One box as it was asked for, kept while answers are scripted.
struct ShownMessage {
    QString prompt;
    QString title;
    MessageButtons buttons;
    MessageAnswer defaultAnswer;
    // The window the box shows over, when it showed over one that was on the screen.
    const QWidget* over = nullptr;
};

// The program's modal message boxes: plain (no icon), OK or Yes/No (Yes the default button unless No is asked
// for), titled with the application's name unless a title is given, over the active window or the one given. A
// box is never larger than the screen's free area: its text wraps, a long name inside too, and past that scrolls
// inside the box, shown from its end, where the reason or the question stands, with the buttons below it.
//
// Tests script the answers instead of clicking real boxes: while answers are scripted every box is recorded and
// answered from the queue; a box that finds the queue empty gets the safe answer
// (No, or OK) without blocking.
class MessageBox {
public:
    static MessageAnswer show(const QString& prompt, MessageButtons buttons = MessageButtons::Ok,
                              const QString& title = {}, MessageAnswer defaultAnswer = MessageAnswer::Yes,
                              QWidget* over = nullptr);
    // The box that shows `message` over `over`, not yet shown; exec() gives the MessageAnswer chosen.
    static std::unique_ptr<QDialog> boxFor(const ShownMessage& message, QWidget* over);

    static void scriptAnswers();
    static void setNextAnswer(MessageAnswer answer);
    static const QList<ShownMessage>& shown();
    static void clearScript();
};

} // namespace ferrowyn
