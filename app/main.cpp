// quorrix: the window. It takes no command line and runs as the user who started it.
#include "app/quorrix_app.h"
#include "platform/elevate.h"

int main(int argc, char** argv) {
    // The firmware tables and the drive need root: the read that gets them (through the
    // probe, unless this is root already) starts first and runs while Qt starts up.
    const auto privileged = platform::StartPrivilegedRead();
    CQuorrixApp app(argc, argv);
    if (app.InitInstance(*privileged)) return app.exec();
    return 0;
}
