#pragma once
// The program's one window: the path field, the list of TIMs found in a RAW
// file, the info panel, the CLUT-set scroll bar, and the image drawn at
// client pixel (330, 5). It owns all run-time state; the other dialogs and
// commands reach its members directly.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/ImageState.h"
#include "image/Paint.h"
#include "platform/File.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Dialog.h"
#include "platform/qt/Menu.h"
#include "platform/qt/Prompts.h"
#include "platform/qt/QImageSurface.h"
#include "shell/CClutDlg.h"
#include "shell/CExtraFieldsDlg.h"
#include "shell/CExtractNumbersDlg.h"
#include "shell/CScanDlg.h"

namespace pixalto::shell {

// Texts of the file dialogs and message boxes of opening an image.
inline constexpr const char* kTimFilter = "All Supported PSX Graphics|*.tim||";
inline constexpr const char* kBmpFilter = "BMP Graphics|*.bmp||";
// File dialogs of the RAW-file commands.
inline constexpr const char* kRawFilter = "All Files|*.*||";
inline constexpr const char* kExtractionListFilter = "Extract File|timextracts.txt|All Files|*.*||";

class CMainDlg final : public ui::Dialog {
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
    void OnScanRawFile();
    void OnSaveMultipleFiles();
    void OnInsertTimFiles();
    void SaveTimFile();
    void ConvertToBmpFile();
    void ConvertFolderTimToBmp();
    void ConvertFolderBmpToTim();
    void OnViewClut();

    // --- Notifications ---
    void OnHScroll(int code, int thumbPosition);
    void OnListItemChanged(int item, unsigned oldState, unsigned newState);
    void OnListDblClk();

    // --- Operations other commands use ---
    bool PromptOpenFile(const std::string& filter, std::string& path);
    // fromRawFile: the TIM at offset of a scanned RAW file, read as the scan
    // read the file (a raw CD image through its sectors' data).
    bool OpenImageFile(bool isTim, std::int64_t offset, bool fromRawFile = false);
    void UpdateMenuBar(bool loaded, bool fromRaw);
    // Asks for a folder (into folderPath) and finds its *.tim or *.bmp files
    // into folderMatches; false when cancelled or when none was found.
    bool BrowseForImageFolder(std::string& folderPath, bool wantTim);
    // Paints the loaded image with the current view, and erases its area.
    void PaintImage();
    void EraseImageArea(std::uint32_t width, std::uint32_t height);
    // A file given on the command line or dropped on the window: a .tim is
    // opened as "Open TIM" does, a .bmp as "Open BMP" does, and any other
    // file is scanned as "Scan RAW File" does.
    void OpenGivenFile(const std::string& path);
    // Scans filePath for TIMs into the list.
    void ScanChosenFile();

    // The surface point of client pixel (330, 5) at the window's pixel ratio.
    SurfacePoint ImageOrigin() const;
    ui::ListView& List() const;
    ui::ScrollBar& SetScrollBar() const;

    // --- State ---
    ImageState image;
    std::string filePath;
    std::string currentSetText;
    std::int32_t currentSet = 0;
    bool splitImage = false;
    bool transparency = false;
    std::int32_t selectedRow = -1;
    File mainFile;
    File auxFile;
    std::string textBuffer;  // the file numbers accepted for extraction
    std::string sidecarPath;
    std::vector<std::string> folderMatches;  // of the last folder chosen
    ui::QImageSurface drawSurface;
    std::unique_ptr<ui::Menu> menuBar;
    ui::Prompts& prompts;
    CExtraFieldsDlg extraFields;
    CScanDlg scanDlg{prompts, List(), this};
    CExtractNumbersDlg extractNumbers{prompts, this};
    CClutDlg clutViewer{this};

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
    void FailLoad(const Error& error, const std::string& title);
    void FillInfoPanel();
    // Reads the image into image, or shows why not; each a step of
    // OpenImageFile.
    bool ReadImage(bool isTim, std::int64_t offset);
    bool ReadListedTim(std::int64_t offset);
    // Says in the path box's tooltip how the RAW file's bytes are read.
    void ShowRawLayout();
    void ShowCurrentSet(std::int32_t shownSet);
    void SelectSet(std::int32_t set);
    void FitSurfaceToClient();
    ViewOptions View() const;

    bool painting_ = false;
};

}  // namespace pixalto::shell
