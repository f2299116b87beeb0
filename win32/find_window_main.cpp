// quorrix_find_window: finds a running quorrix.exe's main window by its caption, from another
// process, as a person sees it: prints its caption, the frame's caption and the pane's first
// line, shows the BIOS page through the list's double-click notification and prints the
// same again, then closes the window with Esc's command. For the end-to-end test.
//   quorrix_find_window [SECONDS]      exit 0 when all of that worked, 1 otherwise
// With --pages it shows pages 1 to 8 one after the other instead (8 runs the summary
// command and returns when that has ended) and leaves the window open, for
// scripts/bench/window.sh to read the program's memory.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/resource_ids.h"
#include "win32/wide_text.h"

namespace {

// WM_GETTEXT, which works across processes (GetWindowText does not, for controls).
std::wstring TextOf(HWND hWnd) {
    const auto n = SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const auto got =
        SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::wstring FirstLine(const std::wstring& text) {
    return text.substr(0, text.find(L"\r\n"));
}

void Print(const char* label, const std::wstring& text) {
    std::printf("%s: %s\n", label, win32::WideToUtf8(text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = 30;
    bool bPages = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--pages") {
            bPages = true;
        } else {
            seconds = std::atoi(argv[i]);
        }
    }
    // The window counts once it is shown with its controls (it exists a moment before).
    HWND hDlg = nullptr;
    HWND hList = nullptr;
    HWND hPane = nullptr;
    HWND hFrame = nullptr;
    for (int i = 0; i < seconds * 20; ++i) {
        hDlg = FindWindowW(L"#32770", L"Quorrix V2.0");
        if (hDlg != nullptr && IsWindowVisible(hDlg)) {
            hList = GetDlgItem(hDlg, IDC_CATEGORY_LIST);
            hPane = GetDlgItem(hDlg, IDC_PAGE_EDIT);
            hFrame = GetDlgItem(hDlg, IDC_STATIC);
            if (hList != nullptr && hPane != nullptr && hFrame != nullptr &&
                SendMessageW(hList, LB_GETCOUNT, 0, 0) > 0) {
                break;
            }
        }
        hDlg = nullptr;
        Sleep(50);
    }
    if (hDlg == nullptr) {
        std::printf("no window \"Quorrix V2.0\" with its controls within %d s\n", seconds);
        return 1;
    }
    if (bPages) {
        for (int position = 0; position < 8; ++position) {
            SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
            SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(hList));
        }
        Print("frame", TextOf(hFrame));
        return 0;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hDlg, &pid);
    Print("window", TextOf(hDlg));
    std::printf("visible: %d\n", IsWindowVisible(hDlg) ? 1 : 0);
    std::printf("categories: %d\n", static_cast<int>(SendMessageW(hList, LB_GETCOUNT, 0, 0)));
    Print("frame", TextOf(hFrame));
    Print("pane", FirstLine(TextOf(hPane)));

    SendMessageW(hList, LB_SETCURSEL, 0, 0);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(hList));
    Print("frame", TextOf(hFrame));
    Print("pane", FirstLine(TextOf(hPane)));

    // Esc's command ends the dialog and with it the program.
    HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
    const bool ended = hProcess != nullptr && WaitForSingleObject(hProcess, 10000) == WAIT_OBJECT_0;
    if (hProcess != nullptr) CloseHandle(hProcess);
    std::printf("ended: %d\n", ended ? 1 : 0);
    return ended ? 0 : 1;
}
