#include "platform/command_button.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace ferrowyn {

CommandButton::CommandButton(QWidget* parent) : QWidget(parent), m_button(new QToolButton(this)) {
    m_button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_button->setIconSize(QSize(32, 32));
    m_button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_button->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    setFocusProxy(m_button);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_button, &QToolButton::clicked, this, &CommandButton::Click);
}

QString CommandButton::Caption() const {
    return m_button->text();
}

void CommandButton::setCaption(const QString& caption) {
    m_button->setText(caption);
}

void CommandButton::setPicture(const QIcon& picture) {
    m_button->setIcon(picture);
}

} // namespace ferrowyn
