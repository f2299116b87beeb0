// quorrix: the window. It runs as the user who started it and takes no command line but
// --build-probe, with which a run from a build tree (scripts/run.sh) uses the probe built
// beside it.
#include <cstring>

#include "app/quorrix_app.h"
#include "probe/privileged_read.h"

int main(int argc, char** argv) {
    bool buildProbe = false;
    if (argc > 1 && std::strcmp(argv[1], "--build-probe") == 0) {
        buildProbe = true;
        argv[1] = argv[0];  // Qt sees the rest of the command line as it was
        --argc;
        ++argv;
    }
    // The firmware tables and the drive need root: the read that gets them (through the
    // probe, unless this is root already) starts first and runs while Qt starts up.
    const auto privileged = platform::StartPrivilegedRead(buildProbe);
    CQuorrixApp app(argc, argv);
    if (app.InitInstance(*privileged)) return app.exec();
    return 0;
}
