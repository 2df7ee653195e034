#include "platform/gui/drive_list_box.h"
#include "platform/gui/inner_widget.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

namespace ferrowyn {
namespace {

// A combo box that reads the volumes afresh each time it opens, so that media mounted meanwhile appear.
class VolumeCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override {
        if (beforePopup) {
            beforePopup();
        }
        QComboBox::showPopup();
    }
};

} // namespace

DriveListBox::DriveListBox(QWidget* parent) : QWidget(parent) {
    auto* combo = new VolumeCombo(this);
    combo->beforePopup = [this] { reloadVolumes(); };
    m_combo = combo;
    fillWith(this, m_combo, Focus::Passed);
    connect(m_combo, &QComboBox::activated, this, &DriveListBox::chooseByUser);

    reloadVolumes();
    // The working folder's volume; when the working folder has been deleted there is none, so the first volume.
    const QString workingFolder = QDir::currentPath();
    if (!workingFolder.isEmpty()) {
        select(volumeRootOf(workingFolder));
    } else if (!m_volumes.isEmpty()) {
        select(m_volumes.first().root);
    }
}

QString DriveListBox::Drive() const {
    return m_current >= 0 ? m_volumes.at(m_current).designator : QString();
}

void DriveListBox::setDrive(const QString& designatorOrPath) {
    const QString before = Drive();
    reloadVolumes();
    select(volumeRootOf(designatorOrPath));
    if (Drive() != before) {
        emit Change();
    }
}

void DriveListBox::reloadVolumes() {
    const QString shownRoot = m_current >= 0 ? m_volumes.at(m_current).root : QString();
    m_volumes = storageVolumes();
    const QSignalBlocker quiet(m_combo);
    m_combo->clear();
    m_current = -1;
    for (const Volume& volume : m_volumes) {
        m_combo->addItem(volume.designator);
    }
    if (!shownRoot.isEmpty()) {
        select(shownRoot);
    }
}

void DriveListBox::select(const QString& root) {
    for (int i = 0; i < m_volumes.size(); ++i) {
        if (m_volumes.at(i).root == root) {
            const QSignalBlocker quiet(m_combo);
            m_combo->setCurrentIndex(i);
            m_current = i;
            return;
        }
    }
}

void DriveListBox::chooseByUser(int index) {
    if (index == m_current || index < 0 || index >= m_volumes.size()) {
        return;
    }
    m_current = index;
    emit Change();
}

} // namespace ferrowyn
