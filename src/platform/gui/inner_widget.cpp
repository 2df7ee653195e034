#include "platform/gui/inner_widget.h"

#include <QVBoxLayout>
#include <QWidget>

namespace ferrowyn {

void fillWith(QWidget* outer, QWidget* inner, Focus focus) {
    inner->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* layout = new QVBoxLayout(outer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(inner);
    if (focus == Focus::Passed) {
        inner->setFocusPolicy(Qt::StrongFocus);
        outer->setFocusProxy(inner);
        outer->setFocusPolicy(Qt::StrongFocus);
    }
}

} // namespace ferrowyn
