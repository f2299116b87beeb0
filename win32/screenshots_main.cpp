// quorrix_win32_screenshots: pictures of the Windows window for the documentation. Shows every
// page of the sample laptop, the about box and the dead-pixel test, and saves what the
// screen shows of each as a 24-bit BMP. Run under a display, e.g. scripts/windows/screenshots.sh.
//   quorrix_win32_screenshots OUT_DIR
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "pages/page_dispatch.h"
#include "tests/support/sample_machine.h"
#include "tests/support/test_sectors.h"
#include "text/gbk.h"
#include "win32/about_dlg.h"
#include "win32/pixel_test_wnd.h"
#include "win32/quorrix_dlg.h"
#include "win32/resource_ids.h"

namespace {

void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount64() < end);
}

// Writes the screen's `source` rectangle, drawn into width x height pixels, as a BMP file.
bool SaveScreen(const RECT& source, int width, int height, const std::string& path) {
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom row first, as BMP files hold it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hMem, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    const int sourceWidth = source.right - source.left;
    const int sourceHeight = source.bottom - source.top;
    if (sourceWidth == width && sourceHeight == height) {
        BitBlt(hMem, 0, 0, width, height, hScreen, source.left, source.top, SRCCOPY);
    } else {
        // Smaller: averaged; larger: each pixel a square block.
        SetStretchBltMode(hMem, width < sourceWidth ? HALFTONE : COLORONCOLOR);
        SetBrushOrgEx(hMem, 0, 0, nullptr);
        StretchBlt(hMem, 0, 0, width, height, hScreen, source.left, source.top, sourceWidth,
                   sourceHeight, SRCCOPY);
    }
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageBytes = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    bool ok = false;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof(file), 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f) == 1 &&
             std::fwrite(pBits, 1, imageBytes, f) == imageBytes;
        ok = std::fclose(f) == 0 && ok;
    }
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
    std::printf("%s%s\n", ok ? "" : "cannot write ", path.c_str());
    return ok;
}

// What the screen shows of a window, its frame included.
bool SaveWindow(HWND hWnd, const std::string& path) {
    Pump(300);
    RECT r{};
    GetWindowRect(hWnd, &r);
    return SaveScreen(r, r.right - r.left, r.bottom - r.top, path);
}

// What "systeminfo" prints on a Windows laptop, for the summary page of the pictures (under
// Wine the command prints nothing).
std::vector<std::string> SampleSystemInfo() {
    return {text::Utf8ToGbk("\r\n主机名:           QUORRIX-X1\r\n"
                            "OS 名称:          Microsoft Windows 10 专业版\r\n"
                            "OS 版本:          10.0.19045 暂缺 Build 19045\r\n"
                            "OS 制造商:        Microsoft Corporation\r\n"),
            text::Utf8ToGbk("系统制造商:       LENOVO\r\n"
                            "系统型号:         20QDCTO1WW\r\n"
                            "系统类型:         x64-based PC\r\n"
                            "处理器:           安装了 1 个处理器。\r\n"
                            "                  [01]: Intel64 Family 6 Model 142 Stepping 12 "
                            "GenuineIntel ~1910 Mhz\r\n"
                            "BIOS 版本:        LENOVO N2IET98W (1.76 ), 2024/5/24\r\n"),
            text::Utf8ToGbk("物理内存总量:     16,129 MB\r\n"
                            "可用的物理内存:   9,874 MB\r\n")};
}

// The display panel page and the verdict page, each after a double-click on its entry.
bool ShootPanelAndVerdict(HWND hDlg, HWND hList, const std::string& outDir) {
    bool ok = true;
    for (const auto& [position, name] :
         {std::pair{pages::kPanelPage, "A-panel"}, std::pair{pages::kVerdictPage, "C-verdict"}}) {
        SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(hList));
        ok = SaveWindow(hDlg, outDir + "/window-" + name + ".bmp") && ok;
    }
    return ok;
}

// The keyboard test over the window, with the keys of a few words typed and the arrows: each
// a key message with its scan code in lParam, as the system delivers it.
bool ShootKeyboardTest(HWND hDlg, HWND hList, const std::string& outDir) {
    SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(pages::kKeyboardTest), 0);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(hList));
    HWND hTest = FindWindowW(L"QuorrixKeyboardTest", nullptr);
    if (hTest == nullptr) return false;
    // Esc, Q U O R R I X, Space, F1, the arrows (E0 keys), Enter.
    for (unsigned set1 : {0x01u, 0x10u, 0x16u, 0x18u, 0x13u, 0x17u, 0x2Du, 0x39u, 0x3Bu, 0x148u,
                          0x14Bu, 0x14Du, 0x150u, 0x1Cu}) {
        SendMessageW(hTest, WM_KEYDOWN, 0, static_cast<LPARAM>(1u | (set1 << 16)));
    }
    Pump(300);
    const bool ok = SaveWindow(hTest, outDir + "/keyboard-test.bmp");
    SendMessageW(hTest, WM_CLOSE, 0, 0);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string outDir = argc > 1 ? argv[1] : ".";
    CreateDirectoryA(outDir.c_str(), nullptr);

    testsupport::CSampleMachine machine;
    // The sample drive's wear, so the page shows its last three lines filled: a used drive
    // with a few reallocated sectors (vendor data above the count) and none pending.
    std::vector<std::uint8_t>& smart = *machine.drives.Drive(0).smartData;
    disktest::PutAttribute(smart, 3, 5, {0x08, 0x00, 0x02, 0x00, 0x00, 0x00});
    disktest::PutAttribute(smart, 4, 197, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    disktest::PutAttribute(smart, 5, 198, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    machine.runner.SetScript(SampleSystemInfo());
    DialogSeams seams = machine.Seams();
    seams.strSummaryCommand = "systeminfo";

    CQuorrixDlg dlg(seams, [](std::string_view, std::string_view) {});
    HWND hDlg = dlg.Create(nullptr);
    if (hDlg == nullptr) return 1;
    SetForegroundWindow(hDlg);
    bool ok = SaveWindow(hDlg, outDir + "/window-welcome.bmp");

    HWND hList = GetDlgItem(hDlg, IDC_CATEGORY_LIST);
    const char* names[] = {"bios",   "system", "processor", "board",
                           "memory", "disk",   "battery",   "summary"};
    for (int row = 0; row <= pages::kSummaryPage; ++row) {
        SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(hList));
        ok = SaveWindow(
                 hDlg, outDir + "/window-" + std::to_string(row + 1) + "-" + names[row] + ".bmp") &&
             ok;
    }

    ok = ShootPanelAndVerdict(hDlg, hList, outDir) && ok;

    // The about box over the window.
    CAboutDlg about;
    HWND hAbout = about.Create(hDlg);
    if (hAbout == nullptr) return 1;
    ShowWindow(hAbout, SW_SHOW);
    ok = SaveWindow(hAbout, outDir + "/about.bmp") && ok;
    DestroyWindow(hAbout);

    // The dead-pixel test after three clicks (blue), scaled down, and its top-left corner
    // enlarged: the colour up to the corner pixel.
    auto* pTest = new CPixelTestWnd;
    HWND hTest = pTest->Create(hDlg);
    if (hTest == nullptr) return 1;
    ShowWindow(hTest, SW_SHOW);
    for (int i = 0; i < 3; ++i) {
        SendMessageW(hTest, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
        SendMessageW(hTest, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    }
    Pump(300);
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    ok = SaveScreen({0, 0, cx, cy}, 480, 480 * cy / cx, outDir + "/pixel-test-blue.bmp") && ok;
    ok = SaveScreen({0, 0, 24, 24}, 96, 96, outDir + "/pixel-test-corner.bmp") && ok;
    DestroyWindow(hTest);
    ok = ShootKeyboardTest(hDlg, hList, outDir) && ok;
    DestroyWindow(hDlg);
    return ok ? 0 : 1;
}
