// The main window itself: start, the command table, menus, painting, close
// and end.

#include "shell/CMainDlg.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <cmath>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "shell/CAboutDlg.h"

namespace pixalto::shell {
namespace {

// Every menu command and its handler.
struct Command {
    int id;
    void (CMainDlg::*handler)();
};

constexpr Command kCommands[] = {
    {res::kCmdOpenTim, &CMainDlg::OnOpenTim},
    {res::kCmdOpenBmp, &CMainDlg::OnOpenBmp},
    {res::kCmdScanRawFile, &CMainDlg::OnScanRawFile},
    {res::kCmdSaveTimFile, &CMainDlg::SaveTimFile},
    {res::kCmdSaveMultipleFiles, &CMainDlg::OnSaveMultipleFiles},
    {res::kCmdInsertTimFiles, &CMainDlg::OnInsertTimFiles},
    {res::kCmdCloseImage, &CMainDlg::OnCloseCommand},
    {res::kCmdUndo, &CMainDlg::OnUndo},
    {res::kCmdRedo, &CMainDlg::OnRedo},
    {res::kCmdExit, &CMainDlg::OnExit},
    {res::kCmdSplitImage, &CMainDlg::OnSplitImage},
    {res::kCmdTransparency, &CMainDlg::OnTransparency},
    {res::kCmdCheckerboard, &CMainDlg::OnCheckerboard},
    {res::kCmdViewClut, &CMainDlg::OnViewClut},
    {res::kCmdZoomIn, &CMainDlg::OnZoomIn},
    {res::kCmdZoomOut, &CMainDlg::OnZoomOut},
    {res::kCmdActualSize, &CMainDlg::OnActualSize},
    {res::kCmdFitToWindow, &CMainDlg::OnFitToWindow},
    {res::kCmdDevicePixels, &CMainDlg::OnDevicePixels},
    {res::kCmdFollowSelection, &CMainDlg::OnFollowSelection},
    {res::kCmdConvertToBmp, &CMainDlg::ConvertToBmpFile},
    {res::kCmdFolderTimToBmp, &CMainDlg::ConvertFolderTimToBmp},
    {res::kCmdFolderBmpToTim, &CMainDlg::ConvertFolderBmpToTim},
    {res::kCmdOpenPng, &CMainDlg::OnOpenPng},
    {res::kCmdExportPng, &CMainDlg::OnExportPng},
    {res::kCmdExportPalette, &CMainDlg::OnExportPalette},
    {res::kCmdImportPalette, &CMainDlg::OnImportPalette},
    {res::kCmdFolderTimToPng, &CMainDlg::ConvertFolderTimToPng},
    {res::kCmdFolderPngToTim, &CMainDlg::ConvertFolderPngToTim},
    {res::kCmdAbout, &CMainDlg::OnAbout},
    {res::kCmdClearRecent, &CMainDlg::OnClearRecent},
};

Pixel ButtonFace() {
    // The window's background: erasing the image area must match it.
    return static_cast<Pixel>(QApplication::palette().color(QPalette::Window).rgb());
}

}  // namespace

CMainDlg::CMainDlg(ui::Prompts& prompts, QWidget* parent)
    : Dialog(res::DialogResource(res::kMainDialog), parent),
      drawSurface(ButtonFace()),
      prompts(prompts),
      extraFields(prompts, this),
      title_(windowTitle()) {
    workspace.AddObserver(*this);
    setWindowIcon(res::AppIcon());
    setAcceptDrops(true);
    Client()->installEventFilter(this);
    Client()->SetPaintHook([this](QPainter& painter, const QRect&) { OnPaint(painter); });
    // The picture changes only when a command paints or erases it; a paint
    // request just copies it to the screen.
    drawSurface.SetChangeHandler([this] { Client()->update(); });
    clutViewer.SetEditedHandler([this] { PaintImage(); });
    clutViewer.SetPaletteCommandHandler([this](int id) { OnCommand(id); });
    connect(&SetScrollBar(), &ui::ScrollBar::Scrolled, this, &CMainDlg::OnHScroll);
    InstallSetKeys();
    connect(&List(), &ui::ListView::ItemChanged, this, &CMainDlg::OnListItemChanged);
    connect(&List(), &ui::ListView::DoubleClicked, this, &CMainDlg::OnListDblClk);
    KeepPanelLayout();
    SetUpImageArea();
    LoadRecentFiles();
}

CMainDlg::~CMainDlg() {
    workspace.RemoveObserver(*this);
}

ui::ListView& CMainDlg::List() const {
    return *Item<ui::ListView>(res::kEntryList);
}

ui::ScrollBar& CMainDlg::SetScrollBar() const {
    return *Item<ui::ScrollBar>(res::kSetScrollBar);
}

bool CMainDlg::OnInitDialog() {
    // What the controls show at start: the workspace as it is.
    SetDlgItemText(res::kCurrentSetLabel, "");
    SetDlgItemText(res::kPathEdit, workspace.path);
    SetScrollBar().SetScrollPos(workspace.currentSet);

    SetUpEntryList();

    workspace.splitImage = false;
    workspace.transparency = false;
    workspace.image.ReleaseBuffers();
    OnCloseImage();
    return true;
}

bool CMainDlg::OnCommand(int id) {
    if (id == res::kIdOk) {
        return false;  // Enter does nothing
    }
    if (id == res::kIdCancel) {
        OnCancel();
        return true;
    }
    if ((id & ~0xF) == res::kCmdSystemAbout) {
        OnSysCommand(id);
        return true;
    }
    if (id >= res::kCmdRecentFile && id < res::kCmdRecentFile + res::kRecentFileCount) {
        OpenRecentFile(static_cast<std::size_t>(id - res::kCmdRecentFile));
        return true;
    }
    for (const auto& command : kCommands) {
        if (command.id == id) {
            (this->*command.handler)();
            return true;
        }
    }
    return false;
}

void CMainDlg::OnAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

void CMainDlg::OnSysCommand(int id) {
    if ((id & ~0xF) == res::kCmdSystemAbout) {
        OnAbout();
    }
}

void CMainDlg::OnExit() {
    DestroyWindow();
}

void CMainDlg::done(int result) {
    // Escape, the close box and "Exit" all end here.
    if (!ConfirmDiscard()) {
        return;
    }
    workspace.ReleaseImage();
    clutViewer.Hide();
    Dialog::done(result);
}

void CMainDlg::DestroyWindow() {
    done(res::kIdCancel);
}

void CMainDlg::UpdateMenuBar(bool loaded, bool fromRaw) {
    SetMenu(nullptr);
    menuBar =
        std::make_unique<ui::Menu>(res::MenuResource(loaded ? res::kMenuLoaded : res::kMenuEmpty),
                                   [this](int id) { OnCommand(id); });
    if (loaded) {
        const ImageState& image = workspace.image;
        menuBar->EnableMenuItem(res::kCmdSaveTimFile, image.IsLoaded());
        menuBar->EnableMenuItem(res::kCmdConvertToBmp, image.IsLoaded());
        menuBar->EnableMenuItem(res::kCmdSaveMultipleFiles, fromRaw);
        menuBar->EnableMenuItem(res::kCmdViewClut, !image.clutData.empty());
        menuBar->EnableMenuItem(res::kCmdExportPng, image.IsLoaded());
        menuBar->EnableMenuItem(res::kCmdExportPalette, !image.clutData.empty());
        menuBar->EnableMenuItem(res::kCmdImportPalette, !image.clutData.empty());
        menuBar->EnableMenuItem(res::kCmdUndo, workspace.CanUndo());
        menuBar->EnableMenuItem(res::kCmdRedo, workspace.CanRedo());
    }
    menuBar->CheckMenuItem(res::kCmdTransparency, workspace.transparency);
    MarkCheckerboard();
    menuBar->CheckMenuRadioItem(res::kCmdSplitImage, workspace.splitImage);
    menuBar->CheckMenuItem(res::kCmdFollowSelection, workspace.followSelection);
    SetUpZoomItems();
    AddRecentMenu();
    SetMenu(menuBar.get());
}

void CMainDlg::OnCloseImage() {
    UpdateMenuBar(false, false);
    if (workspace.image.IsLoaded()) {
        FitSurfaceToClient();
        ZoomedSurface area = ImageSurface();
        EraseForClose(workspace.image, workspace.splitImage, area, ImageOrigin());
        if (clutViewer.IsWindowVisible()) {
            clutViewer.Hide();
        }
    }
    workspace.CloseImage();
    ShowStatus();
    SetDlgItemText(res::kPathEdit, "");
    GetDlgItem(res::kPathEdit)->setToolTip(QString());
    List().hide();
    SetScrollBar().SetScrollRange(0, 0);
    SetScrollBar().SetScrollPos(0);
}

QPoint CMainDlg::ClientImageOrigin() const {
    return {kImageOrigin.x + (List().isHidden() ? 0 : listWidening_), kImageOrigin.y};
}

SurfacePoint CMainDlg::ImageOrigin() const {
    const qreal ratio = drawSurface.DevicePixelRatio();
    const QPoint origin = ClientImageOrigin();
    return {static_cast<int>(std::lround(origin.x() * ratio)),
            static_cast<int>(std::lround(origin.y() * ratio))};
}

void CMainDlg::FitSurfaceToClient() {
    const qreal ratio = devicePixelRatioF();
    const QSize logical = Client()->size();
    drawSurface.Resize(QSize(static_cast<int>(std::ceil(logical.width() * ratio)),
                             static_cast<int>(std::ceil(logical.height() * ratio))),
                       ratio);
}

void CMainDlg::PaintImage() {
    if (!workspace.image.IsLoaded()) {
        return;
    }
    FitSurfaceToClient();
    if (LayOutImageArea()) {
        EraseWholeArea();
    }
    ZoomedSurface area = ImageSurface();
    pixalto::PaintImage(workspace.image, workspace.View(), area, ImageOrigin());
    ShowStatus();
}

void CMainDlg::EraseImageArea(std::uint32_t width, std::uint32_t height) {
    FitSurfaceToClient();
    ZoomedSurface area = ImageSurface();
    pixalto::EraseImageArea(area, ImageOrigin(), width, height);
}

void CMainDlg::OnPaint(QPainter& painter) {
    // One surface pixel to one screen pixel, never smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPoint(0, 0), drawSurface.Image());
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    // A new size, or a new pixel ratio, can cut or blur the picture: it is
    // painted again at once.
    if (watched == Client() && event->type() == QEvent::Resize) {
        FitSurfaceToClient();
        PaintImage();
    }
    ListEvent(watched, event);
    if (watched == Client() && ImageAreaEvent(event)) {
        return true;
    }
    return Dialog::eventFilter(watched, event);
}

namespace {

// The one local file a drag carries, or "" when it carries anything else.
std::string DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile().toStdString() : std::string();
}

// A drop is only ever taken as a copy: a source told that its file was
// moved may delete it, and opening a file must never cost the user it. A
// source that offers nothing but a move is refused.
bool TakeAsCopy(QDropEvent* event) {
    if (!(event->possibleActions() & Qt::CopyAction) || DraggedFile(event->mimeData()).empty()) {
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

}  // namespace

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    TakeAsCopy(event);
}

void CMainDlg::dragMoveEvent(QDragMoveEvent* event) {
    TakeAsCopy(event);
}

void CMainDlg::dropEvent(QDropEvent* event) {
    if (TakeAsCopy(event)) {
        OpenGivenFile(DraggedFile(event->mimeData()));
    }
}

}  // namespace pixalto::shell
