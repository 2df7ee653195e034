#include "platform/gui/label.h"
#include "platform/gui/inner_widget.h"
#include "platform/gui/path_text.h"

#include <QLabel>

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

Label::Label(QWidget* parent) : QWidget(parent), m_text(new QLabel(this)) {
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(qtAlignment(AlignLeft));
    fillWith(this, m_text, Focus::None);
}

void Label::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    // Lines are joined with CR LF; the label shows each CR LF as one line break.
    QString shown = caption;
    shown.replace("\r\n", "\n");
    m_text->setText(m_breakLongWords ? breakable(shown) : shown);
    emit Change();
}

void Label::setAlignment(int alignment) {
    m_text->setAlignment(qtAlignment(alignment));
}

void Label::Refresh() {
    m_text->repaint();
}

} // namespace ferrowyn
