#pragma once

#include <QIcon>
#include <QWidget>

class QToolButton;

namespace ferrowyn {

// A command button in the graphical style: its picture above its caption.
class CommandButton : public QWidget {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    void setPicture(const QIcon& picture);

    bool Enabled() const { return isEnabled(); }
    // setEnabled() is QWidget's own.

signals:
    void Click();

private:
    QToolButton* m_button;
};

} // namespace ferrowyn
