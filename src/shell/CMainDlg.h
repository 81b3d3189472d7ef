#pragma once
// The program's one window: the path field, the list of TIMs found in a RAW
// file, the info panel, the CLUT-set scroll bar, and the image drawn at
// client pixel (330, 5). What it shows is the workspace's state; its command
// handlers pass the user's input to the workspace and show the outcome.

#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/FolderConvert.h"
#include "image/ZoomedSurface.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Dialog.h"
#include "platform/qt/Menu.h"
#include "platform/qt/Prompts.h"
#include "platform/qt/QImageSurface.h"
#include "shell/CClutDlg.h"
#include "shell/CExtraFieldsDlg.h"
#include "shell/CExtractNumbersDlg.h"
#include "shell/CScanDlg.h"
#include "shell/EntryListModel.h"
#include "workspace/RecentFiles.h"
#include "workspace/Workspace.h"

namespace pixalto::shell {

// Filters of the file dialogs of opening an image.
inline constexpr const char* kTimFilter = "All Supported PSX Graphics|*.tim||";
inline constexpr const char* kBmpFilter = "BMP Graphics|*.bmp||";
inline constexpr const char* kPngFilter = "PNG Graphics|*.png||";
inline constexpr const char* kPaletteFilter =
    "Palettes|*.gpl *.pal *.act *.tim *.clt|GIMP Palette|*.gpl|JASC Palette|*.pal|"
    "Adobe Colour Table|*.act|CLUT-only TIM|*.tim *.clt||";
// File dialogs of the RAW-file commands.
inline constexpr const char* kRawFilter = "All Files|*.*||";
inline constexpr const char* kExtractionListFilter = "Extract File|timextracts.txt|All Files|*.*||";
inline constexpr const char* kPatchFilter = "PPF patches|*.ppf|IPS patches|*.ips||";

// Where the window keeps what it remembers across runs.
std::unique_ptr<QSettings> OpenSettings();

class CMainDlg final : public ui::Dialog, private workspace::Observer {
    Q_OBJECT
  public:
    // Where the image's top-left pixel goes, in client pixels.
    static constexpr SurfacePoint kImageOrigin{330, 5};

    explicit CMainDlg(ui::Prompts& prompts, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Routes a menu command through the command table; false for an
    // identifier it doesn't know.
    bool OnCommand(int id) override;

    // --- Commands ---
    void OnOpenTim();
    void OnOpenBmp();
    void OnCloseImage();
    void OnExit();
    void OnAbout();
    void OnSysCommand(int id);
    void OnSplitImage();
    void OnTransparency();
    void OnCheckerboard();
    void OnScanRawFile();
    void OnSaveMultipleFiles();
    void OnInsertTimFiles();
    void SaveTimFile();
    void ConvertToBmpFile();
    void ConvertFolderTimToBmp();
    void ConvertFolderBmpToTim();
    void OnOpenPng();
    void OnExportPng();
    void OnExportPalette();
    void OnImportPalette();
    void ConvertFolderTimToPng();
    void ConvertFolderPngToTim();
    void OnViewClut();
    void OnCloseCommand();
    void OnUndo();
    void OnRedo();
    void OnZoomIn();
    void OnZoomOut();
    void OnActualSize();
    void OnFitToWindow();
    void OnDevicePixels();
    // File > Recent: opens the entry the way it was opened before; a file
    // that is gone fails as it would anywhere and leaves the list.
    void OpenRecentFile(std::size_t index);
    void OnClearRecent();
    void OnFollowSelection();

    // --- Notifications ---
    void OnHScroll(int code, int thumbPosition);
    void OnListItemChanged(int item, unsigned oldState, unsigned newState);
    void OnListDblClk();
    // Shows the selected row's TIM; following the selection, a TIM that
    // can't be shown is said in the status bar, not in a message box.
    void ShowSelectedEntry(bool following);

    // --- Operations other commands use ---
    bool PromptOpenFile(const std::string& filter);
    // Before the image and its CLUT edits go: when an edit is unsaved, asks
    // "Save changes to FILE?" and saves on Save. False when the user
    // cancelled, or the save was cancelled or failed: nothing may go then.
    bool ConfirmDiscard();
    // "Save TIM File"; true when the file was written.
    bool SaveTimFileAs();
    // The title ("*" while an edit is unsaved) and Undo and Redo.
    void ShowEditState();
    void UpdateMenuBar(bool loaded, bool fromRaw);
    // Asks for a folder (into the workspace's path) and finds its *.tim or
    // *.bmp files; nothing when cancelled or when none was found.
    std::optional<std::vector<std::string>> BrowseForImageFolder(bool wantTim);
    // The same for the files ending in extension (".png").
    std::optional<std::vector<std::string>> BrowseForFolderOf(std::string_view extension);
    // Converts the files found in the workspace's folder with convert, after
    // closing the image, with the extra-fields dialog for origins and a
    // message box for each message.
    using FolderConversion =
        std::function<void(const std::string& folder, const std::vector<std::string>& names,
                           ImageState& work, OriginsRequest& origins, MessageSink& messages)>;
    void ConvertFoundFiles(const std::vector<std::string>& names, const FolderConversion& convert);
    // Opens the workspace's path as a PNG, asking for the depth when the
    // PNG can't say.
    void OpenChosenPng();
    // Paints the loaded image with the current view into the picture, and
    // erases its area.
    void PaintImage();
    void EraseImageArea(std::uint32_t width, std::uint32_t height);
    // A file given on the command line or dropped on the window: a .tim is
    // opened as "Open TIM" does, a .bmp as "Open BMP" does, and any other
    // file is scanned as "Scan RAW File" does.
    void OpenGivenFile(const std::string& path);
    // Scans the workspace's path for TIMs into the list.
    void ScanChosenFile();
    // Insert's two ways on once its preview has been seen: into the RAW
    // file the list names, or into a patch of it.
    void WriteInsertion(const std::string& listPath, bool rebuildDamaged);
    void SaveInsertionPatch(const std::string& listPath, bool rebuildDamaged);

    // The surface point of client pixel (330, 5) at the window's pixel ratio,
    // moved right by the list's widening.
    SurfacePoint ImageOrigin() const;
    // The same in client pixels.
    QPoint ClientImageOrigin() const;
    // Client pixels the list is widened by while it shows: the handle at its
    // right edge drags it, and a scan widens it to show every column. The
    // panel's controls right of the list move with it, and so does the
    // image.
    int ListWidening() const { return listWidening_; }
    void SetListWidening(int pixels);
    // The widening that shows every column of the list (0 when they fit).
    int ListWideningToFit() const;
    QWidget* ListHandle() const { return listHandle_; }
    // The picture's image area at the workspace's zoom: what painting and
    // erasing the image draw on.
    ZoomedSurface ImageSurface();
    // The image area's scroll bars, shown while the zoomed image is larger
    // than the area; their values are the workspace's scroll offset.
    QScrollBar* areaScrollX = nullptr;
    QScrollBar* areaScrollY = nullptr;
    // The pixel under the cursor, or the image's size and origins.
    QStatusBar* statusBar = nullptr;
    // A folder conversion's progress, in the status bar while it runs.
    void ShowBatchProgress(std::size_t done, std::size_t total);
    void EndBatchProgress();
    ui::ListView& List() const;
    ui::ScrollBar& SetScrollBar() const;
    QLineEdit& FilterBox() const;

    // The window's size and position as the last run left them, when they
    // are on a screen now; kept as the window ends.
    void RestorePlacement();
    void SavePlacement();
    // File > Recent (nothing before a menu is attached).
    QMenu* RecentMenu() const { return recentMenu_; }

    // --- State ---
    workspace::Workspace workspace;
    std::unique_ptr<QSettings> settings = OpenSettings();
    workspace::RecentFiles recentFiles;

    // --- Widgets ---
    // The picture: the image as last painted, copied to the screen by every
    // paint request.
    ui::QImageSurface drawSurface;
    std::unique_ptr<ui::Menu> menuBar;
    ui::Prompts& prompts;
    CExtraFieldsDlg extraFields;
    EntryListModel entryModel{workspace};
    CScanDlg scanDlg{prompts, workspace, List(), this};
    CExtractNumbersDlg extractNumbers{prompts, this};
    CClutDlg clutViewer{workspace, this};

  protected:
    bool OnInitDialog() override;
    void OnOK() override {}  // Enter never ends the window
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void OnPaint(QPainter& painter);
    void DestroyWindow();
    void OpenChosenFile(bool isTim);
    // Shows what a load left: the failure, the menus, the set and the info
    // panel; true when an image is loaded.
    bool ShowLoad(const workspace::LoadOutcome& outcome);
    // Erases the picture of the image about to be replaced.
    void EraseForLoad();
    // The one place where the window words a command's failure.
    void ShowFailure(const workspace::Failure& failure);
    void FillInfoPanel();
    void ShowCurrentSet(std::int32_t shownSet);
    // Checkerboard's mark; it only does something under Transparency.
    void MarkCheckerboard();
    void SelectSet(std::int32_t set);
    // The keys that step through the sets, and the scroll bar in the tab
    // order.
    void InstallSetKeys();
    void FitSurfaceToClient();
    // The list's model, columns, sorting and filter box.
    void SetUpEntryList();
    void SizeListColumns();
    void OnFilterEdited(const QString& text);
    // The filter box shows and hides with the list, and the panel widens
    // and narrows with it.
    bool ListEvent(QObject* watched, QEvent* event);
    // The controls of the panel where the template puts them, taken before
    // any other child of the client area is made.
    void KeepPanelLayout();
    // Places the panel's controls for the list's widening (none while the
    // list is hidden) and paints the image where it then goes.
    void LayOutPanel();
    // A list just filled or shown shows its columns, as far as a sensible
    // width allows; a list the user widened further stays so.
    void WidenListToItsColumns();
    std::vector<std::pair<QPointer<QWidget>, QRect>> panelLayout_;
    int listRight_ = 0;  // the template list's right edge, in client pixels
    int listWidening_ = 0;
    QWidget* listHandle_ = nullptr;
    void PictureChanged() override { ShowEditState(); }

    QString title_;  // the template's
    // The View menu's zoom items: their shortcuts and the Device Pixels mark.
    void SetUpZoomItems();
    // Erases the whole image area and paints the image at the new zoom.
    void ShowZoom(int factor);
    // Ctrl+wheel zooms, and the cursor's moves update the status bar; true
    // when the event was taken.
    bool ImageAreaEvent(QEvent* event);
    // The status bar for the cursor at a client point, or off the image.
    void ShowStatus();
    std::optional<QPoint> cursor_;
    // Makes the image area's scroll bars, allows maximising, and keeps the
    // window at least the template's size.
    void SetUpImageArea();
    // Shows or hides the scroll bars for the zoomed image and keeps the
    // offset within them; true when the offset changed.
    bool LayOutImageArea();
    void EraseWholeArea();
    void OnAreaScrolled();
    // Grows the window, up to the screen's available size, so that the image
    // fits at 1:1; it never shrinks.
    void GrowForImage();

    // File > Recent under "Scan RAW File", and its entries; a file opened or
    // scanned goes to its top.
    void AddRecentMenu();
    void FillRecentMenu();
    void RememberFile(workspace::OpenedAs kind);
    void LoadRecentFiles();
    void SaveRecentFiles();
    QPointer<QMenu> recentMenu_;
};

}  // namespace pixalto::shell
