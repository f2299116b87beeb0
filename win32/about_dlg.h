// CAboutDlg: the about box (template 100): the icon, the version and date lines, OK.
#pragma once

#include "win32/dialog_base.h"
#include "win32/resource_ids.h"

class CAboutDlg : public CDialogBase {
public:
    CAboutDlg() : CDialogBase(IDD_ABOUTBOX) {}

protected:
    // Centred over the main window.
    BOOL OnInitDialog() override {
        CenterWindow();
        return TRUE;
    }
};
