#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

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

// A line a text wraps at when nothing forces it wider, as message boxes commonly do.
constexpr int kUsualWidth = 480;

} // namespace

std::unique_ptr<QDialog> MessageBox::boxFor(const ShownMessage& message, QWidget* over) {
    auto box = std::make_unique<QDialog>(over, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box->setWindowTitle(message.title);
    auto* layout = new QVBoxLayout(box.get());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* text = new QLabel(breakable(message.prompt));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(text);
    layout->addWidget(area);

    const bool yesNo = message.buttons == MessageButtons::YesNo;
    auto* buttons =
        new QDialogButtonBox(yesNo ? QDialogButtonBox::Yes | QDialogButtonBox::No : QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    const auto answerOf = [](QDialogButtonBox::StandardButton button) {
        return static_cast<int>(button == QDialogButtonBox::Yes  ? MessageAnswer::Yes
                                : button == QDialogButtonBox::No ? MessageAnswer::No
                                                                 : MessageAnswer::Ok);
    };
    QObject::connect(buttons, &QDialogButtonBox::clicked, box.get(), [&box = *box, buttons, answerOf](auto* b) {
        box.done(answerOf(buttons->standardButton(b)));
    });
    // Escape and the close box give the safe answer.
    QObject::connect(box.get(), &QDialog::rejected, box.get(), [&box = *box, yesNo] {
        box.setResult(static_cast<int>(yesNo ? MessageAnswer::No : MessageAnswer::Ok));
    });
    QPushButton* preferred = buttons->button(!yesNo                                       ? QDialogButtonBox::Ok
                                             : message.defaultAnswer == MessageAnswer::No ? QDialogButtonBox::No
                                                                                          : QDialogButtonBox::Yes);
    preferred->setDefault(true);
    preferred->setFocus();

    // The text at its usual width, or wider when that would make it taller than the screen; past the screen's
    // width it scrolls, from its end.
    const QRect screen =
        (over != nullptr ? over->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const int frame = over != nullptr ? std::max(over->frameGeometry().height() - over->height(), 0) : 0;
    const QMargins margins = layout->contentsMargins();
    const int scrollBar = area->verticalScrollBar()->sizeHint().width();
    const int widest = screen.width() - margins.left() - margins.right() - scrollBar - frame;
    const int room = screen.height() - frame - margins.top() - margins.bottom() - layout->spacing() -
                     buttons->sizeHint().height();
    int width = std::max(buttons->sizeHint().width(), std::min(text->sizeHint().width(), kUsualWidth));
    if (text->heightForWidth(width) > room) {
        width = std::max(width, widest);
    }
    const int height = text->heightForWidth(width);
    text->setFixedSize(width, height);
    area->setFixedSize(width + (height > room ? scrollBar : 0), std::min(height, room));
    QScrollBar* scroll = area->verticalScrollBar();
    QObject::connect(scroll, &QScrollBar::rangeChanged, scroll, [scroll](int, int end) { scroll->setValue(end); });
    return box;
}

MessageAnswer MessageBox::show(const QString& prompt, MessageButtons buttons, const QString& title,
                               MessageAnswer defaultAnswer, QWidget* over) {
    QWidget* const owner = over != nullptr ? over : QApplication::activeWindow();
    const ShownMessage message{prompt, title.isEmpty() ? QApplication::applicationName() : title, buttons,
                               buttons == MessageButtons::Ok ? MessageAnswer::Ok : defaultAnswer,
                               owner != nullptr && owner->isVisible() ? owner : nullptr};
    if (script().active) {
        return answerFromScript(message);
    }
    return static_cast<MessageAnswer>(boxFor(message, owner)->exec());
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
