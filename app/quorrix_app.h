// CQuorrixApp: the application object. Its start-up runs the main dialog and then lets the
// program end.
#pragma once

#include <QApplication>

#include "probe/privileged_read.h"

class CQuorrixApp : public QApplication {
    Q_OBJECT

public:
    CQuorrixApp(int& argc, char** argv);

    // Takes the firmware tables and the drive from `privileged` (saying on stderr, in one
    // line, when they hold only what the user can read), gathers the machine's facts (inside
    // the dialog's constructor), runs the main dialog modally and returns false: there is no
    // loop of the application's own to enter.
    bool InitInstance(platform::IPrivilegedRead& privileged);
};
