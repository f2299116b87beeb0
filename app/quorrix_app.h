// CQuorrixApp: the application object. Its start-up runs the main dialog and then lets the
// program end.
#pragma once

#include <QApplication>

class CQuorrixApp : public QApplication {
    Q_OBJECT

public:
    CQuorrixApp(int& argc, char** argv);

    // Gathers the machine's facts (inside the dialog's constructor), runs the main dialog
    // modally and returns false: there is no loop of the application's own to enter.
    bool InitInstance();
};
