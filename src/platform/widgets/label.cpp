#include "platform/widgets/label.h"
#include "platform/widgets/inner_widget.h"
#include "platform/widgets/path_text.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace ferrowyn {
namespace {

Qt::Alignment qtAlignment(int alignment) {
    switch (alignment) {
    case Label::AlignRight:
        return Qt::AlignRight | Qt::AlignTop;
    case Label::AlignCentre:
        return Qt::AlignHCenter | Qt::AlignTop;
    default:
        return Qt::AlignLeft | Qt::AlignTop;
    }
}

} // namespace

Label::Label(QWidget* parent) : QWidget(parent), m_text(new QLabel), m_scroll(new QScrollArea(this)) {
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(qtAlignment(AlignLeft));
    // The text lies in a frameless area that scrolls only when told to show long text; otherwise it is cut at the
    // box's edge as a plain label's is.
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setWidget(m_text);
    m_text->setAutoFillBackground(false);
    fillWith(this, m_scroll, Focus::None);
}

void Label::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    // Lines are joined with CR LF; the label shows each CR LF as one line break.
    QString shown = caption;
    shown.replace("\r\n", "\n");
    m_text->setText(m_showsLongText ? breakable(shown) : shown);
    m_scroll->verticalScrollBar()->setValue(0);
    emit Change();
}

void Label::setAlignment(int alignment) {
    m_text->setAlignment(qtAlignment(alignment));
}

void Label::setShowsLongText(bool showsLongText) {
    m_showsLongText = showsLongText;
    m_scroll->setVerticalScrollBarPolicy(showsLongText ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void Label::Refresh() {
    m_text->repaint();
}

} // namespace ferrowyn
