// The compiled resources as the program meets them: the popup menu loaded
// with LoadMenuA, the dialog templates both as stored bytes and as live
// dialogs, the icon images, the version block and the manifest.
//
// The texts below are compiled to code page 932, so each comparison also
// checks that the UTF-8 resource source came through windres as the same
// characters (half-width katakana, full-width signs and the wave dash
// included) and reaches the A functions as the expected Shift-JIS bytes.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win32/dialogs_test_support.h"

using namespace dialog_tests;

namespace {

HINSTANCE module() {
    return GetModuleHandleA(nullptr);
}

std::string to_cp932(const wchar_t* text, size_t length) {
    if (length == 0) return std::string();
    int n =
        WideCharToMultiByte(932, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(932, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

std::string class_name(HWND hwnd) {
    char buffer[128] = {};
    GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

bool same_class(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void init_common_controls() {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
}

INT_PTR CALLBACK passive_dialog_proc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// ---------------------------------------------------------------------------
// Popup menu

struct MenuEntry {
    const char* text; // nullptr for a separator
    UINT id;          // 0 for a submenu or a separator
    bool checked;
    std::vector<MenuEntry> items; // a submenu's items
};

const MenuEntry kSeparator = {nullptr, 0, false, {}};

const std::vector<MenuEntry> kPopupItems = {
    {"表示/非表示",
     0,
     false,
     {{"通常は表示", IDM_VISIBLE_SHOWN, false, {}},
      {"通常は非表示", IDM_VISIBLE_HIDDEN, false, {}},
      {"トグル切り替え", IDM_VISIBLE_TOGGLE, false, {}},
      kSeparator,
      {"個別設定を使う", IDM_USE_RULES, false, {}}}},
    {"表示色変換",
     0,
     false,
     {{"グレー表示", IDM_GRAY, false, {}}, {"反転表示", IDM_INVERT, false, {}}}},
    {"ﾎﾟｲﾝﾄ情報表示", IDM_POINT_INFO, true, {}},
    {"中心ﾏｰｶｰ", IDM_MARKER, true, {}},
    {"ﾋﾟｸｾﾙｸﾞﾘｯﾄﾞ", IDM_PIXEL_GRID, false, {}},
    {"画像を固定", IDM_FREEZE, false, {}},
    {"虫眼鏡ﾓｰﾄﾞ", IDM_LOUPE_MODE, false, {}},
    {"ルーペ下を操作する", IDM_CLICK_THROUGH, false, {}},
    {"テキストカーソルに追従", IDM_FOLLOW_CARET, false, {}},
    kSeparator,
    {"拡大ｲﾒｰｼﾞをｺﾋﾟｰ", IDM_COPY_IMAGE, false, {}},
    {"色をｺﾋﾟｰ", IDM_COPY_COLOUR, false, {}},
    kSeparator,
    {"設定...", IDM_OPTIONS, false, {}},
    {"ホットキー設定...", IDM_HOTKEY, false, {}},
    {"ウィンドウ個別設定...", IDM_WINDOW_RULES, false, {}},
    kSeparator,
    {"ヘルプ", IDM_HELP, false, {}},
    {"ﾊﾞｰｼﾞｮﾝ情報...", IDM_ABOUT, false, {}},
    {"終了", IDM_EXIT, false, {}},
};

void expect_menu(HMENU menu, const std::vector<MenuEntry>& expected) {
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const MenuEntry& want = expected[i];
        SCOPED_TRACE(testing::Message() << "menu position " << i);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
        if (!want.text) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_FALSE(info.fType & MFT_SEPARATOR);
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, want.text);
        EXPECT_EQ((info.fState & MFS_CHECKED) != 0, want.checked);
        EXPECT_FALSE(info.fState & MFS_GRAYED);
        if (want.items.empty()) {
            EXPECT_EQ(info.hSubMenu, nullptr);
            EXPECT_EQ(info.wID, want.id);
        } else {
            ASSERT_NE(info.hSubMenu, nullptr);
            expect_menu(info.hSubMenu, want.items);
        }
    }
}

void collect_commands(const std::vector<MenuEntry>& items, std::vector<UINT>& ids) {
    for (const MenuEntry& item : items) {
        if (item.id) ids.push_back(item.id);
        collect_commands(item.items, ids);
    }
}

TEST(ResourcesMenu, PopupHoldsEveryItemInOrderWithInitialChecks) {
    HMENU menu = LoadMenuA(module(), "POPMENU");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    expect_menu(popup, kPopupItems);
    DestroyMenu(menu);
}

// The window sets check marks and the gray state by command from the shown
// submenu, so every command, nested ones included, must be reachable that way.
TEST(ResourcesMenu, EveryCommandReachableByIdentifierFromThePopup) {
    HMENU menu = LoadMenuA(module(), "POPMENU");
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    std::vector<UINT> ids;
    collect_commands(kPopupItems, ids);
    EXPECT_EQ(ids.size(), 21u);
    for (UINT id : ids) {
        SCOPED_TRACE(testing::Message() << "command " << id);
        EXPECT_NE(CheckMenuItem(popup, id, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
        EXPECT_TRUE(GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_NE(EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED), -1);
        EXPECT_TRUE(GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED);
    }
    DestroyMenu(menu);
}

// ---------------------------------------------------------------------------
// Dialog templates

struct Control {
    int id;
    const char* cls;
    const char* text;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    DWORD ex_style;
    short x, y, cx, cy;
};

struct Dialog {
    const char* name;
    const char* caption;
    bool extended;
    short cx, cy;
    std::vector<Control> controls;
};

const DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
const char* const kDialogFont = "ＭＳ Ｐゴシック";

const DWORD kNumberEdit = WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_RIGHT;
const DWORD kStepSpin = UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
const DWORD kBuddySpin = kStepSpin | UDS_SETBUDDYINT;
const DWORD kCheckBox = WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD kLabel = WS_GROUP | SS_LEFT;
const DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kDefault = WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD kDropList = WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;

const std::vector<Dialog> kDialogs = {
    {"OPTDLG",
     "Brisvane設定",
     false,
     271,
     181,
     {
         {IDC_STATIC, "Button", "サイズ", BS_GROUPBOX, 0, 4, 3, 128, 38},
         {IDC_STATIC, "Static", "横", kLabel, 0, 9, 13, 8, 8},
         {IDC_OPT_WIDTH, "Edit", "", kNumberEdit, 0, 11, 23, 20, 12},
         {IDC_OPT_WIDTH_SPIN, "msctls_updown32", "Spin1", kStepSpin, 0, 31, 22, 9, 14},
         {IDC_OPT_HEIGHT, "Edit", "", kNumberEdit, 0, 47, 23, 20, 12},
         {IDC_OPT_HEIGHT_SPIN, "msctls_updown32", "Spin1", kStepSpin, 0, 67, 22, 9, 14},
         {IDC_OPT_MAGNIFY, "Edit", "", kNumberEdit, 0, 88, 23, 20, 12},
         {IDC_OPT_MAGNIFY_SPIN, "msctls_updown32", "Spin1", kBuddySpin, 0, 108, 22, 9, 14},
         {IDC_OPT_DISTANCE, "Edit", "", kNumberEdit, 0, 28, 60, 24, 12},
         {IDC_OPT_DISTANCE_SPIN, "msctls_updown32", "Spin2", kBuddySpin, 0, 52, 59, 7, 14},
         {IDC_OPT_ANGLE, "Edit", "", kNumberEdit, 0, 79, 60, 24, 12},
         {IDC_OPT_ANGLE_SPIN, "msctls_updown32", "Spin3", kBuddySpin, 0, 103, 59, 7, 14},
         {IDC_OPT_ROUND_NORMAL, "Button", "通常モード", kCheckBox, 0, 11, 105, 47, 10},
         {IDC_OPT_ROUND_LOUPE, "Button", "虫眼鏡モード", kCheckBox, 0, 62, 105, 50, 10},
         {IDC_OPT_HEXCOLOR, "Button", "RGB情報を16進数で表示", kCheckBox, 0, 11, 131, 90, 10},
         {IDC_OPT_SMOOTH, "ComboBox", "", kDropList, 0, 190, 7, 77, 52},
         {IDC_OPT_WHEEL_STEP, "Edit", "", kNumberEdit, 0, 209, 27, 20, 12},
         {IDC_OPT_WHEEL_STEP_SPIN, "msctls_updown32", "Spin1", kBuddySpin, 0, 229, 26, 7, 14},
         {IDC_OPT_LAYERED, "Button", "レイヤー表示 （2000/XPのみ有効）", kCheckBox, 0, 145, 51, 115,
          10},
         {IDC_OPT_SNAPSHOT, "Button", "スナップショット式",
          WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 152, 79, 70, 10},
         {IDC_OPT_PEEP, "Button", "のぞき窓式", WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 152, 93, 102,
          10},
         {IDC_OPT_TOGGLEDEF, "Button", "「トグル切り替え」の初期値はオン", kCheckBox, 0, 147, 131,
          112, 10},
         {IDOK, "Button", "O K", kDefault, 0, 95, 162, 36, 14},
         {IDCANCEL, "Button", "ｷｬﾝｾﾙ", kPush, 0, 137, 162, 36, 14},
         {IDC_STATIC, "Static", "縦", kLabel, 0, 46, 13, 8, 8},
         {IDC_STATIC, "Static", "×", kLabel, 0, 80, 25, 8, 8},
         {IDC_OPT_PERCENT, "Static", "％", kLabel, 0, 117, 25, 8, 8},
         {IDC_STATIC, "Button", "マウスカーソルとの相対位置", BS_GROUPBOX, 0, 4, 46, 128, 36},
         {IDC_STATIC, "Static", "距離", kLabel, 0, 12, 62, 15, 8},
         {IDC_STATIC, "Button", "虫眼鏡モードのタイプ", BS_GROUPBOX, 0, 145, 67, 114, 39},
         {IDC_STATIC, "Static", "角度", kLabel, 0, 64, 62, 15, 8},
         {IDC_STATIC, "Button", "丸窓で表示", BS_GROUPBOX, 0, 4, 89, 128, 33},
         {IDC_STATIC, "Static", "ホイールでの増減量", kLabel, 0, 147, 30, 60, 8},
         {IDC_STATIC, "Static", "倍率", kLabel, 0, 86, 13, 15, 8},
         {IDC_STATIC, "Static", "拡大スムース", kLabel, 0, 146, 10, 41, 8},
         {IDC_STATIC, "Static", "％", kLabel, 0, 237, 29, 8, 8},
     }},
    {"HOTKEYDLG",
     "Brisvane－ホットキー設定",
     false,
     159,
     95,
     {
         {IDOK, "Button", "OK", kDefault, 0, 38, 78, 38, 14},
         {IDCANCEL, "Button", "ｷｬﾝｾﾙ", kPush, 0, 82, 78, 38, 14},
         {IDC_HOTKEY_FIELD, "Edit", "", WS_BORDER | WS_TABSTOP | ES_READONLY, 0, 11, 34, 57, 14},
         {IDC_STATIC, "Static",
          "Ctrl/Shift/Alt "
          "のどれか１つ。又はそれと、F1～F12/英数字キーの組み合わせを入力してください"
          "。",
          kLabel, 0, 3, 7, 153, 20},
         {IDC_STATIC, "Static", "*有効な組合わせだと表示されます", kLabel, 0, 9, 55, 147, 12},
         {IDC_STATIC, "Static", "（ここにフォーカスがある時に入力可）", kLabel, 0, 75, 33, 81, 16},
     }},
    {"TARGETDLG",
     "ウィンドウ個別設定",
     true,
     215,
     208,
     {
         {IDOK, "Button", "OK", kDefault, 0, 121, 191, 42, 14},
         {IDCANCEL, "Button", "ｷｬﾝｾﾙ", kPush, 0, 168, 191, 42, 14},
         {IDC_RULE_LIST, "SysListView32", "List1", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
          WS_EX_CLIENTEDGE, 4, 7, 206, 82},
         {IDC_RULE_ADD, "Button", "追加", kPush, 0, 11, 96, 31, 14},
         {IDC_RULE_CHANGE, "Button", "変更", WS_DISABLED | kPush, 0, 46, 96, 31, 14},
         {IDC_RULE_DELETE, "Button", "削除", kPush, 0, 83, 96, 31, 14},
         {IDC_RULE_CLEAR, "Button", "クリア", kPush, 0, 118, 96, 31, 14},
         {IDC_RULE_CAPTURE, "Button", "ウィンドウ\r\n情報取得", BS_MULTILINE | kPush, 0, 170, 123,
          39, 27},
         {IDC_STATIC, "Static", "クラス名", kLabel, 0, 12, 127, 26, 8},
         {IDC_RULE_CLASS, "Static", "", kLabel | SS_CENTERIMAGE, WS_EX_STATICEDGE, 40, 124, 126,
          13},
         {IDC_STATIC, "Static", "タイトル", kLabel, 0, 15, 144, 23, 8},
         {IDC_RULE_TITLE, "Edit", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 40, 140, 126, 14},
         {IDC_STATIC, "Static", "表示切替えタイプ", kLabel, 0, 11, 161, 52, 8},
         {IDC_RULE_TYPE, "ComboBox", "", kDropList, 0, 65, 157, 62, 47},
     }},
    {"ABOUTDLG",
     "Brisvaneについて",
     false,
     135,
     75,
     {
         {IDOK, "Button", "OK", kDefault, 0, 42, 56, 50, 14},
         {IDC_STATIC, "Static", "MYICON", SS_ICON, 0, 6, 7, 20, 20},
         {IDC_ABOUT_VERSION, "Static", "Brisvane", kLabel | SS_CENTERIMAGE, 0, 31, 11, 99, 12},
         {IDC_ABOUT_MAIL, "Static", "mailto: brisvane@example.com",
          WS_GROUP | SS_CENTER | SS_CENTERIMAGE, 0, 4, 30, 126, 8},
         {IDC_ABOUT_LINK, "Static", "https://brisvane.example.com/",
          WS_GROUP | SS_NOTIFY | SS_CENTER | SS_CENTERIMAGE, 0, 4, 39, 126, 11},
     }},
};

// A dialog template read back from the resource bytes.
struct ParsedControl {
    DWORD id, style, ex_style;
    short x, y, cx, cy;
    std::string cls, text;
};

struct ParsedDialog {
    bool extended = false;
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string caption, font;
    WORD point_size = 0;
    std::vector<ParsedControl> controls;
};

class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : base_(data), p_(data) {}
    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coordinate() { return static_cast<short>(take<WORD>()); }
    void align(size_t to) {
        while ((p_ - base_) % to)
            ++p_;
    }
    // A string, or an ordinal written as "#n".
    std::string string_or_ordinal() {
        const WORD first = *reinterpret_cast<const WORD*>(p_);
        if (first == 0xFFFF) {
            p_ += 2;
            return "#" + std::to_string(word());
        }
        return string();
    }
    std::string string() {
        const wchar_t* start = reinterpret_cast<const wchar_t*>(p_);
        size_t n = wcslen(start);
        p_ += (n + 1) * 2;
        return to_cp932(start, n);
    }
    void skip(size_t n) { p_ += n; }

  private:
    template <typename T> T take() {
        T value;
        std::memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    const BYTE* base_;
    const BYTE* p_;
};

std::string predefined_class(const std::string& cls) {
    static const char* const names[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    if (cls.size() > 1 && cls[0] == '#') {
        int ordinal = std::atoi(cls.c_str() + 1);
        if (ordinal >= 0x80 && ordinal <= 0x85) return names[ordinal - 0x80];
    }
    return cls;
}

bool parse_template(const char* name, ParsedDialog& out) {
    HRSRC found = FindResourceA(module(), name, MAKEINTRESOURCEA(5)); // RT_DIALOG
    if (!found) return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module(), found)));
    TemplateReader in(data);
    WORD count;
    if (reinterpret_cast<const WORD*>(data)[1] == 0xFFFF) {
        out.extended = true;
        in.skip(4 + 4); // version and signature, help id
        in.dword();     // extended style
        out.style = in.dword();
    } else {
        out.style = in.dword();
        in.dword(); // extended style
    }
    count = in.word();
    in.coordinate();
    in.coordinate();
    out.cx = in.coordinate();
    out.cy = in.coordinate();
    in.string_or_ordinal(); // menu
    in.string_or_ordinal(); // class
    out.caption = in.string();
    if (out.style & DS_SETFONT) {
        out.point_size = in.word();
        if (out.extended) in.skip(4); // weight, italic, character set
        out.font = in.string();
    }
    for (WORD i = 0; i < count; ++i) {
        in.align(4);
        ParsedControl c;
        if (out.extended) {
            in.dword(); // help id
            c.ex_style = in.dword();
            c.style = in.dword();
        } else {
            c.style = in.dword();
            c.ex_style = in.dword();
        }
        c.x = in.coordinate();
        c.y = in.coordinate();
        c.cx = in.coordinate();
        c.cy = in.coordinate();
        c.id = out.extended ? in.dword() : in.word();
        c.cls = predefined_class(in.string_or_ordinal());
        c.text = in.string_or_ordinal();
        in.skip(in.word()); // creation data
        out.controls.push_back(c);
    }
    return true;
}

TEST(ResourcesDialogs, TemplatesHoldEveryControlInOrderWithStyleAndPosition) {
    for (const Dialog& want : kDialogs) {
        SCOPED_TRACE(want.name);
        ParsedDialog got;
        ASSERT_TRUE(parse_template(want.name, got));
        EXPECT_EQ(got.extended, want.extended);
        EXPECT_EQ(got.style, kDialogStyle);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.caption, want.caption);
        EXPECT_EQ(got.point_size, 9);
        EXPECT_EQ(got.font, kDialogFont);
        ASSERT_EQ(got.controls.size(), want.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i) {
            const Control& w = want.controls[i];
            const ParsedControl& g = got.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " (" << w.id << ")");
            // -1 is 0xFFFF in a plain template, 0xFFFFFFFF in an extended one.
            EXPECT_EQ(g.id, want.extended ? static_cast<DWORD>(w.id) : static_cast<WORD>(w.id));
            EXPECT_TRUE(same_class(g.cls, w.cls)) << g.cls;
            EXPECT_EQ(g.text, w.text);
            EXPECT_EQ(g.style, w.style | WS_CHILD | WS_VISIBLE);
            EXPECT_EQ(g.ex_style, w.ex_style);
            EXPECT_EQ(g.x, w.x);
            EXPECT_EQ(g.y, w.y);
            EXPECT_EQ(g.cx, w.cx);
            EXPECT_EQ(g.cy, w.cy);
        }
    }
}

// Style bits a control may legitimately change about itself once created.
DWORD bits_the_control_may_drop(const Control& c) {
    // An edit control trades WS_BORDER for a sunken client edge.
    if (same_class(c.cls, "Edit")) return WS_BORDER;
    // A combo box hands its scroll bar style on to its drop-down list.
    if (same_class(c.cls, "ComboBox")) return WS_VSCROLL;
    return 0;
}

TEST(ResourcesDialogs, EveryDialogCreatesWithAllItsControls) {
    init_common_controls();
    for (const Dialog& want : kDialogs) {
        SCOPED_TRACE(want.name);
        HWND dialog = CreateDialogParamA(module(), want.name, nullptr, passive_dialog_proc, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(text_of(dialog), want.caption);

        // The dialog font is the one the template names, at 9 points.
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTA logfont = {};
        GetObjectA(font, sizeof logfont, &logfont);
        EXPECT_STREQ(logfont.lfFaceName, kDialogFont);

        // The client area is the template's size in dialog units.
        RECT size = {0, 0, want.cx, want.cy};
        MapDialogRect(dialog, &size);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        // Children come in template order.
        HWND child = GetWindow(dialog, GW_CHILD);
        for (size_t i = 0; i < want.controls.size(); ++i) {
            const Control& w = want.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " (" << w.id << ")");
            ASSERT_NE(child, nullptr);
            if (w.id != IDC_STATIC) {
                EXPECT_EQ(GetDlgCtrlID(child), w.id);
            }
            EXPECT_TRUE(same_class(class_name(child), w.cls)) << class_name(child);
            // An icon static's text names its icon; it shows the picture instead.
            const bool icon = same_class(w.cls, "Static") && (w.style & SS_TYPEMASK) == SS_ICON;
            if (!icon) {
                EXPECT_EQ(text_of(child), w.text);
            }
            const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
            const DWORD required =
                (w.style | WS_CHILD | WS_VISIBLE) & ~bits_the_control_may_drop(w);
            EXPECT_EQ(style & required, required) << std::hex << style;
            if (w.ex_style) {
                const DWORD ex = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
                EXPECT_EQ(ex & w.ex_style, w.ex_style) << std::hex << ex;
            }
            RECT want_rect = {w.x, w.y, w.x + w.cx, w.y + w.cy};
            MapDialogRect(dialog, &want_rect);
            RECT got_rect;
            GetWindowRect(child, &got_rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got_rect), 2);
            EXPECT_EQ(got_rect.left, want_rect.left);
            EXPECT_EQ(got_rect.top, want_rect.top);
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "more children than controls";
        DestroyWindow(dialog);
    }
}

TEST(ResourcesDialogs, AboutIconStaticShowsTheProgramIcon) {
    HWND dialog = CreateDialogParamA(module(), "ABOUTDLG", nullptr, passive_dialog_proc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND icon_static = GetWindow(GetDlgItem(dialog, IDOK), GW_HWNDNEXT);
    ASSERT_NE(icon_static, nullptr);
    EXPECT_NE(SendMessageA(icon_static, STM_GETICON, 0, 0), 0);
    DestroyWindow(dialog);
}

// ---------------------------------------------------------------------------
// Icon

// The RT_ICON image that Windows would pick for the size, as stored.
const BITMAPINFOHEADER* stored_icon_image(int size) {
    HRSRC group = FindResourceA(module(), "MYICON", MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (!group) return nullptr;
    BYTE* dir = static_cast<BYTE*>(LockResource(LoadResource(module(), group)));
    int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)); // RT_ICON
    if (!image) return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module(), image)));
}

// Draws the icon on magenta; the corners must stay magenta (transparent) and
// the middle of the lens must be covered.
void expect_masked_picture(HICON icon, int size, int lens_x, int lens_y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF magenta = RGB(255, 0, 255);
    HBRUSH brush = CreateSolidBrush(magenta);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 0, 0), magenta);
    EXPECT_EQ(GetPixel(dc, size - 1, 0), magenta);
    EXPECT_EQ(GetPixel(dc, 0, size - 1), magenta);
    EXPECT_NE(GetPixel(dc, lens_x, lens_y), magenta);
    int opaque = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            opaque += GetPixel(dc, x, y) != magenta;
    EXPECT_GT(opaque, size * size / 4);
    EXPECT_LT(opaque, size * size * 3 / 4);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(ResourcesIcon, HoldsA256Colour32And16Colour16Image) {
    struct Want {
        int size, bits, lens;
    };
    for (Want want : {Want{32, 8, 12}, Want{16, 4, 6}}) {
        SCOPED_TRACE(testing::Message() << want.size << " px");
        const BITMAPINFOHEADER* stored = stored_icon_image(want.size);
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->biWidth, want.size);
        EXPECT_EQ(stored->biHeight, 2 * want.size); // colour bitmap and mask
        EXPECT_EQ(stored->biBitCount, want.bits);

        HICON icon =
            static_cast<HICON>(LoadImageA(module(), "MYICON", IMAGE_ICON, want.size, want.size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, want.size);
        EXPECT_EQ(colour.bmHeight, want.size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        expect_masked_picture(icon, want.size, want.lens, want.lens);
        DestroyIcon(icon);
    }
}

// ---------------------------------------------------------------------------
// Version block and manifest

TEST(ResourcesVersion, NamesTheProductAndVersion150) {
    // Loaded at run time: the test program does not link version.dll.
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(version, nullptr);
    auto size_of = reinterpret_cast<DWORD(WINAPI*)(LPCSTR, LPDWORD)>(
        reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto read = reinterpret_cast<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>(
        reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>(
        reinterpret_cast<void*>(GetProcAddress(version, "VerQueryValueA")));
    ASSERT_TRUE(size_of && read && query);

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD size = size_of(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(read(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(50, 1)));
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(50, 1)));

    WORD* translation = nullptr;
    ASSERT_TRUE(query(block.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<LPVOID*>(&translation), &length));
    ASSERT_GE(length, 4u);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    for (auto entry :
         {std::make_pair("ProductName", "Brisvane"), std::make_pair("ProductVersion", "1.50"),
          std::make_pair("FileVersion", "1.50")}) {
        SCOPED_TRACE(entry.first);
        char* value = nullptr;
        std::string key = std::string(prefix) + entry.first;
        ASSERT_TRUE(query(block.data(), key.c_str(), reinterpret_cast<LPVOID*>(&value), &length));
        EXPECT_STREQ(value, entry.second);
    }
    FreeLibrary(version);
}

TEST(ResourcesManifest, SelectsVersion6CommonControlsAndDpiAwareness) {
    HRSRC found = FindResourceA(module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module(), found)));
    std::string manifest(text, SizeofResource(module(), found));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
    // DPI awareness: without it a scaled desktop hands the program scaled
    // cursor positions but a screen copy in physical pixels.
    for (const char* setting :
         {"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<",
          "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
          "PerMonitorV2, PerMonitor<"})
        EXPECT_NE(manifest.find(setting), std::string::npos) << setting;
    EXPECT_NE(manifest.find("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"),
              std::string::npos);

    // The loader took the manifest: comctl32 comes from the side-by-side store.
    init_common_controls();
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH);
    CharLowerA(path);
    EXPECT_NE(std::strstr(path, "winsxs"), nullptr) << path;
}

// ---------------------------------------------------------------------------
// Screenshots: each dialog shown and grabbed from the screen, to be looked at
// (Japanese glyphs, half-width katakana, layout). Set BRISVANE_SHOTS to
// keep them as <name>.bmp in that folder.

TEST(ResourcesDialogs, ShownDialogsDrawTheirTexts) {
    init_common_controls();
    const bool keep_shots = std::getenv("BRISVANE_SHOTS") != nullptr;
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    for (const Dialog& want : kDialogs) {
        SCOPED_TRACE(want.name);
        HWND dialog = CreateDialogParamA(module(), want.name, nullptr, passive_dialog_proc, 0);
        ASSERT_NE(dialog, nullptr);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(dialog, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT r;
        GetWindowRect(dialog, &r);

        // The screen catches up with the painting asynchronously under some
        // drivers: grab until the texts are there, with a deadline.
        int drawn = 0;
        wait_until([&] {
            GdiFlush();
            const std::vector<COLORREF> pixels = grab_pixels(r);
            drawn = static_cast<int>(std::count(pixels.begin(), pixels.end(), text));
            return drawn > 200;
        });
        EXPECT_GT(drawn, 200);
        if (keep_shots) {
            EXPECT_TRUE(save_window_shot(dialog, want.name));
        }
        DestroyWindow(dialog);
        pump_messages();
    }
}

} // namespace
