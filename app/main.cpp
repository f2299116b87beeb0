// quorrix: the window. It takes no command line.
#include "app/quorrix_app.h"
#include "platform/elevate.h"

int main(int argc, char** argv) {
    // Reading the firmware tables and the drive needs root; this may run the program again
    // as root and end here with that run's status.
    platform::ElevateOrContinue();
    CQuorrixApp app(argc, argv);
    if (app.InitInstance()) return app.exec();
    return 0;
}
