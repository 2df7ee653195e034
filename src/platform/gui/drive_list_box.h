#pragma once

#include "platform/gui/volumes.h"

#include <QWidget>

class QComboBox;

namespace ferrowyn {

// A drop-down of the machine's volumes. It starts on the volume that holds the working folder.
class DriveListBox : public QWidget {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The designator of the volume shown, as the list shows it ("/home [home]", "c: [System]").
    QString Drive() const;
    // Selects the volume named by a designator, or the one that holds a folder path. Raises Change when the
    // selection really changes, and FileError when no volume matches.
    void setDrive(const QString& designatorOrPath);

signals:
    void Change();

private:
    void reloadVolumes();
    void chooseByUser(int index);
    void select(const QString& root);

    QComboBox* m_combo;
    QList<Volume> m_volumes;
    int m_current = -1;
};

} // namespace ferrowyn
