#pragma once

#include <QWidget>

class QLabel;

namespace ferrowyn {

// A label: plain text wrapped inside its box, which never grows; text that does not fit is clipped.
class Label : public QWidget {
    Q_OBJECT
public:
    enum : int { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };

    explicit Label(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    // Raises Change when the text really changes.
    void setCaption(const QString& caption);

    void setAlignment(int alignment);
    // Lets long runs without spaces (a path, a long name) break inside, instead of being cut at the edge.
    void setBreakLongWords(bool breakLongWords) { m_breakLongWords = breakLongWords; }

    // Paints the label now, without waiting for the event loop.
    void Refresh();

signals:
    void Change();

private:
    QLabel* m_text;
    QString m_caption;
    bool m_breakLongWords = false;
};

} // namespace ferrowyn
