#include "window_harness.h"
#include "platform/default_handling.h"
#include "platform/message_box.h"
#include "platform/path_text.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace ferrowyn::test {
namespace {

QListWidgetItem* itemNamed(QListWidget* view, const QString& name) {
    const auto found = view->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) {
        qFatal("no entry named %s", qPrintable(name));
    }
    view->scrollToItem(found.first());
    return found.first();
}

QPoint centreOf(QListWidget* view, QListWidgetItem* item) {
    return view->visualItemRect(item).center();
}

} // namespace

WindowHarness::WindowHarness() : m_previousWorkingFolder(QDir::currentPath()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    m_workPath = normalFolderPath(m_workDir.path());
    QDir::setCurrent(m_workPath);
    QCoreApplication::setApplicationName("Ferrowyn");
    MessageBox::scriptAnswers();
    MessageBox::clearScript();
    setProgramEnd([this](int status) { programEnds.append(status); });
}

WindowHarness::~WindowHarness() {
    m_window.reset();
    m_owner.reset();
    QDir::setCurrent(m_previousWorkingFolder);
    MessageBox::clearScript();
}

QString WindowHarness::pathOf(const QString& relative) const {
    return normalFolderPath(m_workPath + '/' + relative);
}

QString WindowHarness::makeFile(const QString& relative, qint64 size) {
    QFile file(pathOf(relative));
    if (!file.open(QIODevice::WriteOnly)) {
        qFatal("cannot make %s", qPrintable(file.fileName()));
    }
    file.write(QByteArray(size, 'x'));
    return file.fileName();
}

QString WindowHarness::makeFolder(const QString& relative) {
    QDir().mkpath(pathOf(relative));
    return pathOf(relative);
}

void WindowHarness::storeLastFolder(const QString& folder) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Ferrowyn", "Ferrowyn");
    settings.setValue("Settings/CurPath", folder);
}

QString WindowHarness::storedLastFolder() const {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Ferrowyn", "Ferrowyn");
    return settings.value("Settings/CurPath").toString();
}

QString WindowHarness::settingsFileName() const {
    return m_settings.path() + "/Ferrowyn/Ferrowyn.conf";
}

frmMain& WindowHarness::startWindow() {
    m_owner = std::make_unique<QWidget>();
    m_window = std::make_unique<frmMain>(m_owner.get());
    m_window->start();
    if (!QTest::qWaitForWindowExposed(m_window.get())) {
        qFatal("the window never showed");
    }
    return *m_window;
}

bool WindowHarness::closeWindow() {
    return m_window->close();
}

QListWidget* WindowHarness::fileView() {
    return m_window->flsFileList->findChild<QListWidget*>();
}

QListWidget* WindowHarness::folderView() {
    return m_window->dlsDirList->findChild<QListWidget*>();
}

QStringList WindowHarness::fileNames() {
    QStringList names;
    for (int row = 0; row < fileView()->count(); ++row) {
        names.append(fileView()->item(row)->text());
    }
    return names;
}

QStringList WindowHarness::folderEntries() {
    QStringList entries;
    for (int row = 0; row < folderView()->count(); ++row) {
        const QModelIndex index = folderView()->model()->index(row, 0);
        entries.append(QString(index.data(Qt::UserRole + 1).toInt(), ' ') + index.data().toString());
    }
    return entries;
}

void WindowHarness::clickFile(const QString& name) {
    QListWidget* view = fileView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, itemNamed(view, name)));
}

void WindowHarness::clickFolder(const QString& name) {
    QListWidget* view = folderView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, itemNamed(view, name)));
}

void WindowHarness::openFolder(const QString& name) {
    QListWidget* view = folderView();
    const QPoint at = centreOf(view, itemNamed(view, name));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

void WindowHarness::clickObliterate() {
    QTest::mouseClick(m_window->btnObliterate->findChild<QAbstractButton*>(), Qt::LeftButton);
}

QStringList shownPrompts() {
    QStringList prompts;
    for (const ShownMessage& message : MessageBox::shown()) {
        prompts.append(message.prompt);
    }
    return prompts;
}

} // namespace ferrowyn::test
