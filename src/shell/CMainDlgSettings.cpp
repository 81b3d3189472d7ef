// What the window remembers across runs: File > Recent, and its own size and
// position.

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"

namespace pixalto::shell {
namespace {

constexpr const char* kRecentKey = "RecentFiles";
constexpr const char* kPathKey = "path";
constexpr const char* kKindKey = "kind";
constexpr const char* kGeometryKey = "Window/geometry";
constexpr const char* kMaximizedKey = "Window/maximized";

// How much of a window must be on a screen, its top edge among it, for the
// user to find and move it.
constexpr int kMinVisible = 50;

bool IsOnAScreen(const QRect& placed) {
    const QSize needed = QSize(kMinVisible, kMinVisible).boundedTo(placed.size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const QRect shown = area.intersected(placed);
        if (placed.top() >= area.top() && shown.width() >= needed.width() &&
            shown.height() >= needed.height()) {
            return true;
        }
    }
    return false;
}

// A path in a menu item: '&' is a character there, not a mnemonic.
QString MenuText(std::size_t index, const std::string& path) {
    QString shown = QString::fromStdString(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

std::unique_ptr<QSettings> OpenSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Pixalto"), QStringLiteral("Pixalto"));
}

void CMainDlg::LoadRecentFiles() {
    std::vector<workspace::RecentFile> kept;
    const int count = settings->beginReadArray(kRecentKey);
    for (int i = 0; i < count; ++i) {
        settings->setArrayIndex(i);
        const auto kind = workspace::KindNamed(settings->value(kKindKey).toString().toStdString());
        if (kind) {
            kept.push_back({settings->value(kPathKey).toString().toStdString(), *kind});
        }
    }
    settings->endArray();
    recentFiles = workspace::RecentFiles(kept);
}

void CMainDlg::SaveRecentFiles() {
    settings->remove(kRecentKey);
    settings->beginWriteArray(kRecentKey, static_cast<int>(recentFiles.Files().size()));
    int i = 0;
    for (const workspace::RecentFile& file : recentFiles.Files()) {
        settings->setArrayIndex(i++);
        settings->setValue(kPathKey, QString::fromStdString(file.path));
        settings->setValue(kKindKey, QString::fromLatin1(workspace::KindName(file.kind)));
    }
    settings->endArray();
    FillRecentMenu();
}

void CMainDlg::RememberFile(workspace::OpenedAs kind) {
    recentFiles.Add({workspace.path, kind});
    SaveRecentFiles();
}

void CMainDlg::AddRecentMenu() {
    QAction* scan = menuBar->Action(res::kCmdScanRawFile);
    QMenu* file = menuBar->Bar()->actions().front()->menu();
    const QList<QAction*> items = file->actions();
    const auto after = items.indexOf(scan) + 1;
    recentMenu_ = new QMenu(QStringLiteral("R&ecent"), file);
    file->insertMenu(after < items.size() ? items.at(after) : nullptr, recentMenu_);
    FillRecentMenu();
}

void CMainDlg::FillRecentMenu() {
    if (recentMenu_ == nullptr) {
        return;
    }
    recentMenu_->clear();
    const auto& files = recentFiles.Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const int id = res::kCmdRecentFile + static_cast<int>(i);
        QAction* item = recentMenu_->addAction(MenuText(i, files[i].path));
        item->setData(id);
        // Queued, as every menu command is: opening replaces this menu.
        connect(
            item, &QAction::triggered, this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
    }
    recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction(QStringLiteral("&Clear"));
    clear->setData(res::kCmdClearRecent);
    connect(
        clear, &QAction::triggered, this, [this] { OnCommand(res::kCmdClearRecent); },
        Qt::QueuedConnection);
    recentMenu_->menuAction()->setEnabled(!files.empty());
}

void CMainDlg::OpenRecentFile(std::size_t index) {
    if (index >= recentFiles.Files().size() || !ConfirmDiscard()) {
        return;
    }
    const workspace::RecentFile chosen = recentFiles.Files()[index];
    OnCloseImage();
    workspace.path = chosen.path;
    if (chosen.kind == workspace::OpenedAs::Raw) {
        ScanChosenFile();
    } else {
        OpenChosenFile(chosen.kind == workspace::OpenedAs::Tim);
    }
    std::error_code error;
    if (!std::filesystem::exists(chosen.path, error)) {
        recentFiles.Remove(chosen.path);
        SaveRecentFiles();
    }
}

void CMainDlg::OnClearRecent() {
    recentFiles.Clear();
    SaveRecentFiles();
}

void CMainDlg::RestorePlacement() {
    const QRect placed = settings->value(kGeometryKey).toRect();
    if (!placed.isValid() || !IsOnAScreen(placed)) {
        return;
    }
    setGeometry(placed);
    if (settings->value(kMaximizedKey).toBool()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void CMainDlg::SavePlacement() {
    const bool maximized = isMaximized();
    settings->setValue(kGeometryKey, maximized ? normalGeometry() : geometry());
    settings->setValue(kMaximizedKey, maximized);
    settings->sync();
}

}  // namespace pixalto::shell
