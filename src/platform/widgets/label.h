#pragma once

#include <QWidget>

class QLabel;
class QScrollArea;

namespace ferrowyn {

// A label: plain text wrapped inside its box, which never grows; text that does not fit is clipped, unless the
// label is told to show long text whole.
class Label : public QWidget {
    Q_OBJECT
public:
    enum : int { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };

    explicit Label(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    // Raises Change when the text really changes.
    void setCaption(const QString& caption);

    void setAlignment(int alignment);
    // Shows long text whole: runs without spaces (a path, a long name) break inside instead of being cut at the
    // edge, and text taller than the box scrolls in it.
    void setShowsLongText(bool showsLongText);

    // Paints the label now, without waiting for the event loop.
    void Refresh();

signals:
    void Change();

private:
    QLabel* m_text;
    QScrollArea* m_scroll;
    QString m_caption;
    bool m_showsLongText = false;
};

} // namespace ferrowyn
