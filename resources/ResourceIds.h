#pragma once
// Identifiers of the program's resources, controls and commands. Menus,
// templates and the command table use these names, so the compiler checks
// that they agree.

namespace pixalto::res {

// Dialog templates, strings, the icon and the menus.
inline constexpr int kAboutDialog = 100;
inline constexpr int kAboutMenuString = 101;
inline constexpr int kMainDialog = 102;
inline constexpr int kAppIcon = 128;
inline constexpr int kMenuEmpty = 129;   // nothing loaded
inline constexpr int kMenuLoaded = 130;  // an image or a RAW file
inline constexpr int kScanDialog = 131;
inline constexpr int kExtractNumbersDialog = 132;
inline constexpr int kClutDialog = 133;
inline constexpr int kExtraFieldsDialog = 137;
inline constexpr int kColorEditDialog = 141;

// Buttons that end a dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Main window controls.
inline constexpr int kClutSizeEdit = 1005;
inline constexpr int kSetCountEdit = 1006;
inline constexpr int kImageSizeEdit = 1008;
inline constexpr int kEntryList = 1009;
inline constexpr int kBppEdit = 1010;
inline constexpr int kCurrentSetLabel = 1011;
inline constexpr int kPathEdit = 1013;
inline constexpr int kSetScrollBar = 1014;
inline constexpr int kEntryFilter = 1040;  // under the list: the rows to show

// Scan dialog controls: the progress bar and the two status lines.
inline constexpr int kScanProgress = 1000;
inline constexpr int kScanStatusUpper = 1012;
inline constexpr int kScanStatusLower = 1013;
inline constexpr int kScanCancel = 1041;  // not IDCANCEL: Escape stays ignored

// File-number dialog: the input box.
inline constexpr int kRangeEdit = 1015;

// Extra-fields dialog controls.
inline constexpr int kClutOrgYLabel = 1025;
inline constexpr int kClutOrgXLabel = 1026;
inline constexpr int kImageOrgXEdit = 1027;
inline constexpr int kImageOrgYEdit = 1028;
inline constexpr int kClutOrgXEdit = 1029;
inline constexpr int kClutOrgYEdit = 1030;

// Colour editor controls.
inline constexpr int kRedEdit = 1032;
inline constexpr int kOldColorText = 1033;
inline constexpr int kGreenEdit = 1034;
inline constexpr int kBlueEdit = 1035;
inline constexpr int kInvisibleCheck = 1036;
inline constexpr int kHexColorEdit = 1037;
inline constexpr int kPickColorButton = 1038;

// Menu commands.
inline constexpr int kCmdOpenTim = 57601;
inline constexpr int kCmdCloseImage = 57602;
inline constexpr int kCmdSaveTimFile = 57603;
inline constexpr int kCmdExit = 32773;
inline constexpr int kCmdSaveMultipleFiles = 32775;
inline constexpr int kCmdScanRawFile = 32776;
inline constexpr int kCmdSplitImage = 32777;
inline constexpr int kCmdAbout = 32779;
inline constexpr int kCmdViewClut = 32781;
inline constexpr int kCmdInsertTimFiles = 32782;
inline constexpr int kCmdConvertToBmp = 32783;
inline constexpr int kCmdFolderTimToBmp = 32784;
inline constexpr int kCmdFolderBmpToTim = 32785;
inline constexpr int kCmdOpenBmp = 32786;
inline constexpr int kCmdTransparency = 32787;
inline constexpr int kCmdUndo = 32788;
inline constexpr int kCmdRedo = 32789;
inline constexpr int kCmdZoomIn = 32790;
inline constexpr int kCmdZoomOut = 32791;
inline constexpr int kCmdActualSize = 32792;
inline constexpr int kCmdFitToWindow = 32793;
inline constexpr int kCmdDevicePixels = 32794;
// File > Recent: its entries, newest first, and "Clear".
inline constexpr int kCmdRecentFile = 32900;
inline constexpr int kRecentFileCount = 8;
inline constexpr int kCmdClearRecent = kCmdRecentFile + kRecentFileCount;
// PNGs and palettes.
inline constexpr int kCmdOpenPng = 32840;
inline constexpr int kCmdExportPng = 32841;
inline constexpr int kCmdExportPalette = 32842;
inline constexpr int kCmdImportPalette = 32843;
inline constexpr int kCmdFolderTimToPng = 32844;
inline constexpr int kCmdFolderPngToTim = 32845;
inline constexpr int kCmdFollowSelection = 32810;
inline constexpr int kCmdCheckerboard = 32811;
inline constexpr int kCmdSystemAbout = 16;  // the window menu's About entry

}  // namespace pixalto::res
