// CQuorrixApp: the application object. Its start-up runs the main dialog and then lets the
// program end.
#pragma once

class CQuorrixApp {
public:
    // Switches on the common controls, gathers the machine's facts (inside the dialog's
    // constructor, before any window exists), runs the main dialog modally and returns
    // false: there is no message loop of the application's own to enter.
    bool InitInstance();
};
