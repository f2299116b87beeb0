// quorrix.exe: the window. It takes no command line.
#include <windows.h>

#include "platform/system_sources.h"
#include "win32/quorrix_app.h"

namespace {

CQuorrixApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::LoadDllsFromSystemFolderOnly();
    theApp.InitInstance();
    return 0;
}
