#include "platform/widgets/inner_widget.h"

#include <QEvent>
#include <QVBoxLayout>
#include <QWidget>

namespace ferrowyn {
namespace {

// Hands the outer widget's tooltip on to the inner one as its accessible description, whenever it changes.
class TooltipAsDescription : public QObject {
public:
    TooltipAsDescription(QWidget* outer, QWidget* inner) : QObject(outer), m_inner(inner) {
        outer->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTipChange) {
            m_inner->setAccessibleDescription(static_cast<QWidget*>(watched)->toolTip());
        }
        return false;
    }

private:
    QWidget* m_inner;
};

} // namespace

void fillWith(QWidget* outer, QWidget* inner, Focus focus, const QString& accessibleName) {
    inner->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* layout = new QVBoxLayout(outer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(inner);
    if (focus == Focus::Passed) {
        inner->setFocusPolicy(Qt::StrongFocus);
        outer->setFocusProxy(inner);
        outer->setFocusPolicy(Qt::StrongFocus);
    }
    if (!accessibleName.isEmpty()) {
        inner->setAccessibleName(accessibleName);
    }
    new TooltipAsDescription(outer, inner);
}

} // namespace ferrowyn
