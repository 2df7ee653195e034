#include "platform/widgets/drive_list_box.h"
#include "platform/core/folder_path.h"
#include "platform/widgets/inner_widget.h"

#include <QComboBox>
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

// "c: [System]", "/home [home]".
QString textOf(const Volume& volume) {
    const QString name = QString::fromStdString(volume.name);
    return volume.label.empty() ? name : name + " [" + QString::fromStdString(volume.label) + "]";
}

} // namespace

DriveListBox::DriveListBox(QWidget* parent) : QWidget(parent) {
    auto* combo = new VolumeCombo(this);
    combo->beforePopup = [this] { reloadVolumes(); };
    m_combo = combo;
    fillWith(this, m_combo, Focus::Passed, QStringLiteral("Drives"));
    connect(m_combo, &QComboBox::activated, this, &DriveListBox::chooseByUser);

    reloadVolumes();
    if (const auto working = workingFolder(); !working.empty()) {
        select(volumeRootOf(working));
    }
    if (m_current < 0 && !m_volumes.empty()) {
        select(m_volumes.front().root);
    }
}

std::filesystem::path DriveListBox::Drive() const {
    return m_current >= 0 ? m_volumes.at(static_cast<std::size_t>(m_current)).root : std::filesystem::path();
}

void DriveListBox::setDrive(const std::filesystem::path& path) {
    const auto before = Drive();
    reloadVolumes();
    select(volumeRootOf(path));
    if (Drive() != before) {
        emit Change();
    }
}

int DriveListBox::ListCount() const {
    return static_cast<int>(m_volumes.size());
}

QString DriveListBox::List(int index) const {
    return textOf(m_volumes.at(static_cast<std::size_t>(index)));
}

void DriveListBox::reloadVolumes() {
    const auto shownRoot = Drive();
    m_volumes = storageVolumes();
    const QSignalBlocker quiet(m_combo);
    m_combo->clear();
    m_current = -1;
    for (const Volume& volume : m_volumes) {
        m_combo->addItem(textOf(volume));
    }
    if (!shownRoot.empty()) {
        select(shownRoot);
    }
}

void DriveListBox::select(const std::filesystem::path& root) {
    for (int i = 0; i < ListCount(); ++i) {
        if (m_volumes.at(static_cast<std::size_t>(i)).root == root) {
            const QSignalBlocker quiet(m_combo);
            m_combo->setCurrentIndex(i);
            m_current = i;
            return;
        }
    }
}

void DriveListBox::chooseByUser(int index) {
    if (index == m_current || index < 0 || index >= ListCount()) {
        return;
    }
    m_current = index;
    emit Change();
}

} // namespace ferrowyn
