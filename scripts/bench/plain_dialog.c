/* plain_dialog.exe: the floor for the window's start-up time under Wine. A dialog of the main
 * window's size and font, made from a template in memory, with a list of nine entries and a
 * multi-line edit, and nothing read before it opens. Built with the same mingw-w64 toolchain
 * as quorrix.exe (scripts/bench/window.sh --beside wine). */
#include <windows.h>

static WORD* put_text(WORD* p, const wchar_t* text) {
    do *p++ = (WORD)*text;
    while (*text++);
    return p;
}

static WORD* align_dword(WORD* p) {
    return (WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
}

/* One control of the template: style, rectangle, id and window class atom (0x0083 list box,
 * 0x0081 edit). */
static WORD* put_item(WORD* p, DWORD style, short x, short y, short cx, short cy, WORD id,
                      WORD atom) {
    DLGITEMTEMPLATE* item;
    p = align_dword(p);
    item = (DLGITEMTEMPLATE*)p;
    item->style = style | WS_CHILD | WS_VISIBLE;
    item->dwExtendedStyle = 0;
    item->x = x;
    item->y = y;
    item->cx = cx;
    item->cy = cy;
    item->id = id;
    p = (WORD*)(item + 1);
    *p++ = 0xFFFF;
    *p++ = atom;
    *p++ = 0; /* no text */
    *p++ = 0; /* no creation data */
    return p;
}

static INT_PTR CALLBACK dialog_proc(HWND dlg, UINT msg, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    if (msg == WM_INITDIALOG) {
        static const wchar_t* names[] = {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
        for (int i = 0; i < 9; ++i)
            SendDlgItemMessageW(dlg, 1000, LB_ADDSTRING, 0, (LPARAM)names[i]);
        SetDlgItemTextW(dlg, 1003, L"plain");
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    static WORD buffer[512];
    DLGTEMPLATE* dialog = (DLGTEMPLATE*)align_dword(buffer);
    WORD* p;
    (void)previous;
    (void)line;
    (void)show;
    dialog->style = DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    dialog->dwExtendedStyle = 0;
    dialog->cdit = 2;
    dialog->x = 0;
    dialog->y = 0;
    dialog->cx = 462;
    dialog->cy = 293;
    p = (WORD*)(dialog + 1);
    *p++ = 0; /* no menu */
    *p++ = 0; /* the dialog class */
    p = put_text(p, L"plain");
    *p++ = 9;
    p = put_text(p, L"\x5B8B\x4F53"); /* SimSun */
    p = put_item(p, LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 7, 7, 69, 278, 1000, 0x0083);
    p = put_item(p, ES_MULTILINE | ES_READONLY | WS_VSCROLL, 83, 18, 369, 263, 1003, 0x0081);
    DialogBoxIndirectParamW(instance, dialog, NULL, dialog_proc, 0);
    return 0;
}
