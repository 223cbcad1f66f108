// The few user-visible texts that the code itself shows, beside the menu
// and dialog texts of brisvane.rc. Source is UTF-8; the Windows build
// turns these literals into code page 932 bytes (-fexec-charset=CP932).
#pragma once

namespace texts {
constexpr const char* kAppName = "Brisvane"; // window title, tray tip, message box caption
constexpr const char* kWindowClass = "BRISVANE_CLASS"; // also the single-instance mutex
constexpr const char* kSettingsFile = "brisvane.ini";
constexpr const char* kHelpFile = "brisvane.chm";

constexpr const char* kTooltipFailed = "ToolTip ウィンドウの作成に失敗しました。";
constexpr const char* kClipboardBusy = "クリップボードがOPENできませんでした。";
constexpr const char* kImageTooLarge = "拡大イメージを作成できませんでした（メモリが足りません）。";
constexpr const char* kPathTooLong = "フォルダのパスが長すぎるため、設定ファイルを置けません。\n短"
                                     "いパスのフォルダに移してから起動してください。";
constexpr const char* kTooltipInitial = "(...)";

// Pixel-information tooltip: magnify, cursor x, y, red, green, blue.
constexpr const char* kTipFormatDecimal = "[%d%%](%d, %d) %d, %d, %d";
constexpr const char* kTipFormatHex = "[%d%%](%d, %d) %02X, %02X, %02X";
// The colour copied as text: red, green, blue (each 0-255, unsigned).
constexpr const char* kColourFormatDecimal = "%u, %u, %u";
constexpr const char* kColourFormatHex = "#%02X%02X%02X";

// Options dialog: smoothing combo box, by index.
constexpr const char* kSmoothNames[3] = {"なし", "バイリニア", "バイキュービック"};
// Per-window settings dialog: visibility type combo box, index = type - 1.
constexpr const char* kVisibilityTypeNames[3] = {"通常は表示", "通常は非表示", "トグル切替え"};
// Per-window settings dialog: list view column headers.
constexpr const char* kRuleColumnNames[3] = {"クラス名", "タイトル", "タイプ"};
constexpr const char* kCapturePrompt = " （対象ウィンドウをクリックしてください）";

// About dialog.
constexpr const char* kVersionLine = "Brisvane v1.50 (c) 2026";
} // namespace texts
