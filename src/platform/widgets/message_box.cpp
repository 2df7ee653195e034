#include "platform/widgets/message_box.h"
#include "platform/widgets/path_text.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
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

// A box that fits the screen's free area, frame included: its text at its usual width, or wider when that would
// make it taller than the screen; past the screen's width it scrolls, from its end. The frame the window system
// puts around it is known only once it shows (on X11): then it is fitted, and placed inside the area, again.
class FittedBox : public QDialog {
public:
    FittedBox(QWidget* over, const QString& text)
        : QDialog(over, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_plain(text) {
        auto* layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        m_text = new QLabel(breakable(text));
        m_text->setTextFormat(Qt::PlainText);
        m_text->setWordWrap(true);
        m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_area = new QScrollArea;
        m_area->setFrameShape(QFrame::NoFrame);
        m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_area->setFocusPolicy(Qt::NoFocus);
        m_area->setWidget(m_text);
        layout->addWidget(m_area);
        QScrollBar* scroll = m_area->verticalScrollBar();
        connect(scroll, &QScrollBar::rangeChanged, scroll, [scroll](int, int end) { scroll->setValue(end); });
        // The frame of the window it shows over, when the window system has put one around it already.
        if (over != nullptr && over->frameGeometry() != over->geometry()) {
            m_frame = over->frameGeometry().size() - over->size();
        }
    }
    void addButtons(QDialogButtonBox* buttons) {
        m_buttons = buttons;
        layout()->addWidget(buttons);
        fit();
    }

protected:
    // Ctrl+C copies the box's title and text as a Windows message box does, as they are: without the marks that
    // let its lines break.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(windowTitle() + QStringLiteral("\n\n") + m_plain);
            return;
        }
        QDialog::keyPressEvent(event);
    }
    bool event(QEvent* event) override {
        const bool handled = QDialog::event(event);
        if ((event->type() == QEvent::Move || event->type() == QEvent::Show) && isVisible()) {
            if (const QSize frame = frameGeometry().size() - size(); frame != m_frame) {
                m_frame = frame;
                fit();
                layout()->activate();
                const QRect area = freeArea();
                const QRect placed(frameGeometry().topLeft(), size() + m_frame);
                move(
                    std::clamp(placed.x(), area.left(), std::max(area.left(), area.right() + 1 - placed.width())),
                    std::clamp(placed.y(), area.top(), std::max(area.top(), area.bottom() + 1 - placed.height())));
            }
        }
        return handled;
    }

private:
    QRect freeArea() const {
        const QWidget* owner = parentWidget();
        const QScreen* on = isVisible()        ? screen()
                            : owner != nullptr ? owner->screen()
                                               : QGuiApplication::primaryScreen();
        return on->availableGeometry();
    }
    void fit() {
        const QRect area = freeArea();
        const QMargins margins = layout()->contentsMargins();
        const int scrollBar = m_area->verticalScrollBar()->sizeHint().width();
        const int widest = area.width() - m_frame.width() - margins.left() - margins.right() - scrollBar;
        const int room = area.height() - m_frame.height() - margins.top() - margins.bottom() -
                         layout()->spacing() - m_buttons->sizeHint().height();
        // Its longest line unwrapped, up to the usual width, and wide enough for the title and the buttons.
        const int natural = std::min(m_text->fontMetrics().size(0, m_text->text()).width() + 1, kUsualWidth);
        const int title = std::min(fontMetrics().horizontalAdvance(windowTitle()) + 50, widest);
        int width = std::max({natural, title, m_buttons->sizeHint().width()});
        if (m_text->heightForWidth(width) > room) {
            width = std::max(width, widest);
        }
        const int height = m_text->heightForWidth(width);
        m_text->setFixedSize(width, height);
        m_area->setFixedSize(width + (height > room ? scrollBar : 0), std::min(height, room));
    }

    QString m_plain;
    QLabel* m_text;
    QScrollArea* m_area;
    QDialogButtonBox* m_buttons = nullptr;
    QSize m_frame;
};

} // namespace

std::unique_ptr<QDialog> MessageBox::boxFor(const ShownMessage& message, QWidget* over) {
    auto box = std::make_unique<FittedBox>(over, message.prompt);
    box->setWindowTitle(message.title); // before the buttons, which fit the box
    const bool yesNo = message.buttons == MessageButtons::YesNo;
    auto* buttons =
        new QDialogButtonBox(yesNo ? QDialogButtonBox::Yes | QDialogButtonBox::No : QDialogButtonBox::Ok);
    box->addButtons(buttons);
    const auto answerOf = [](QDialogButtonBox::StandardButton button) {
        return static_cast<int>(button == QDialogButtonBox::Yes  ? MessageAnswer::Yes
                                : button == QDialogButtonBox::No ? MessageAnswer::No
                                                                 : MessageAnswer::Ok);
    };
    QObject::connect(buttons, &QDialogButtonBox::clicked, box.get(), [&box = *box, buttons, answerOf](auto* b) {
        box.done(answerOf(buttons->standardButton(b)));
    });
    // Escape and the close box reject the box, which ends it with the safe answer.
    QObject::connect(box.get(), &QDialog::rejected, box.get(), [&box = *box, yesNo] {
        box.setResult(static_cast<int>(yesNo ? MessageAnswer::No : MessageAnswer::Ok));
    });
    QPushButton* preferred = buttons->button(!yesNo                                       ? QDialogButtonBox::Ok
                                             : message.defaultAnswer == MessageAnswer::No ? QDialogButtonBox::No
                                                                                          : QDialogButtonBox::Yes);
    preferred->setDefault(true);
    preferred->setFocus();
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
