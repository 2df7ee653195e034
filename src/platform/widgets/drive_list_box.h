#pragma once

#include "platform/core/volumes.h"

#include <QWidget>

class QComboBox;

namespace ferrowyn {

// A drop-down of the machine's volumes. It starts on the volume that holds the working folder, or on the first
// one when no listed volume does (the working folder is gone, or on a network share).
class DriveListBox : public QWidget {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The root of the volume shown ("C:\", "/home").
    std::filesystem::path Drive() const;
    // Selects the volume that holds `path` (a volume's root, or any folder on it). Raises Change when the
    // selection really changes; a path on no listed volume changes nothing.
    void setDrive(const std::filesystem::path& path);

    // The entries as shown ("c: [System]", "/home [home]"), and which one is shown.
    int ListCount() const;
    QString List(int index) const;
    int ListIndex() const { return m_current; }

signals:
    void Change();

private:
    void reloadVolumes();
    void chooseByUser(int index);
    void select(const std::filesystem::path& root);

    QComboBox* m_combo;
    std::vector<Volume> m_volumes;
    int m_current = -1;
};

} // namespace ferrowyn
