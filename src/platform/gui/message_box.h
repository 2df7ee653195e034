#pragma once

#include <QList>
#include <QString>

namespace ferrowyn {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One box as it was asked for, kept while answers are scripted.
struct ShownMessage {
    QString prompt;
    QString title;
    MessageButtons buttons;
    MessageAnswer defaultAnswer;
};

// The program's modal message boxes: plain (no icon), OK or Yes/No (Yes the default button unless No is asked
// for), titled with the application's name unless a title is given.
//
// Tests script the answers instead of clicking real boxes: while answers are scripted every box is recorded and
// answered from the queue; a box that finds the queue empty gets the safe answer
// (No, or OK) without blocking.
class MessageBox {
public:
    static MessageAnswer show(const QString& prompt, MessageButtons buttons = MessageButtons::Ok,
                              const QString& title = {}, MessageAnswer defaultAnswer = MessageAnswer::Yes);

    static void scriptAnswers();
    static void setNextAnswer(MessageAnswer answer);
    static const QList<ShownMessage>& shown();
    static void clearScript();
};

} // namespace ferrowyn
