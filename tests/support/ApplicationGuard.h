// Puts the application object back as a test found it: main form, title and
// the end requested by Terminate, so that every test may run again in the
// same process (--gtest_repeat).
#pragma once

#include "gui/Forms.h"

#include <string>

class ApplicationGuard {
public:
    ApplicationGuard()
        : MainForm(vcl::Application->MainForm), Title(vcl::Application->Title),
          Terminated(vcl::Application->Terminated()) {}
    ~ApplicationGuard() {
        vcl::Application->MainForm = MainForm;
        vcl::Application->Title = Title;
        if (!Terminated)
            vcl::Application->CancelTerminate();
    }
    ApplicationGuard(const ApplicationGuard&) = delete;
    ApplicationGuard& operator=(const ApplicationGuard&) = delete;

private:
    vcl::TForm* MainForm;
    std::string Title;
    bool Terminated;
};
