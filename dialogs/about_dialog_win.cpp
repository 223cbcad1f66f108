// The about dialog (ABOUTDLG): version line, e-mail line and a web link. The
// link is a notifying static drawn underlined in blue with the help cursor
// over it; its own text is the address that a click opens.
#include <windows.h>
#include <shellapi.h>

#include "dialogs/about_dialog.h"
#include "dialogs/dialogs.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

constexpr COLORREF kLinkColor = RGB(0, 0, 250);
constexpr int kLinkTextSize = 64;

HFONT link_font = nullptr;

void shell_open(const char* address) {
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

LinkOpener link_opener = shell_open;

void delete_link_font(HWND dialog) {
    if (!link_font) return;
    SendDlgItemMessageA(dialog, IDC_ABOUT_LINK, WM_SETFONT, 0, FALSE);
    DeleteObject(link_font);
    link_font = nullptr;
}

// The link's font: the dialog's own font, underlined, so that it grows with
// the dialog at every DPI (12 pixels at 96 DPI, 18 at 144).
HFONT create_link_font(HWND dialog) {
    HFONT base = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!base)
        base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); // a template without FONT
    LOGFONTA font = {};
    if (!GetObjectA(base, sizeof font, &font)) return nullptr;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = FALSE;
    font.lfUnderline = TRUE;
    font.lfQuality = PROOF_QUALITY;
    return CreateFontIndirectA(&font);
}

void close_about(HWND dialog) {
    delete_link_font(dialog);
    EndDialog(dialog, IDOK);
}

void open_link(HWND dialog) {
    char address[kLinkTextSize] = "";
    GetWindowTextA(GetDlgItem(dialog, IDC_ABOUT_LINK), address, sizeof address);
    link_opener(address);
    close_about(dialog);
}

} // namespace

LinkOpener set_link_opener(LinkOpener opener) {
    LinkOpener previous = link_opener;
    link_opener = opener ? opener : shell_open;
    return previous == shell_open ? nullptr : previous;
}

INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, texts::kVersionLine);
        if (link_font) DeleteObject(link_font);
        link_font = create_link_font(dialog);
        // Also the control's own font: a static that selects its font after
        // asking for its colours would otherwise draw the link in the
        // dialog font, without the underline.
        SendDlgItemMessageA(dialog, IDC_ABOUT_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(link_font),
                            FALSE);
        return FALSE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wparam) != GetDlgItem(dialog, IDC_ABOUT_LINK)) return FALSE;
        SetCursor(LoadCursorA(nullptr, IDC_HELP));
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        if (reinterpret_cast<HWND>(lparam) != GetDlgItem(dialog, IDC_ABOUT_LINK)) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wparam);
        SelectObject(dc, link_font);
        SetTextColor(dc, kLinkColor);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_ABOUT_LINK:
            if (HIWORD(wparam) == STN_CLICKED) open_link(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL: // Esc and the close box close it like OK
            close_about(dialog);
            return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY: // closed some other way (its owner destroyed)
        delete_link_font(dialog);
        return FALSE;
    default: return FALSE;
    }
}
