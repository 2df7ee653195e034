#include "platform/widgets/command_button.h"
#include "platform/widgets/inner_widget.h"

#include <QToolButton>

namespace ferrowyn {

CommandButton::CommandButton(QWidget* parent) : QWidget(parent), m_button(new QToolButton(this)) {
    m_button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_button->setIconSize(QSize(32, 32));
    fillWith(this, m_button, Focus::Passed);
    connect(m_button, &QToolButton::clicked, this, &CommandButton::Click);
}

void CommandButton::setCaption(const QString& caption) {
    m_button->setText(caption);
    m_button->setAccessibleName(caption);
}

void CommandButton::setPicture(const QIcon& picture) {
    m_button->setIcon(picture);
}

} // namespace ferrowyn
