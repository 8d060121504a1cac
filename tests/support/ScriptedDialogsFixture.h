// Installs a ScriptedDialogs for one test: an unscripted dialog fails the test
// (it is answered with Cancel / No instead of blocking), and a script left
// unanswered at the end fails it too.
#pragma once

#include "core/Dialogs.h"

#include <gtest/gtest.h>

class ScriptedDialogsGuard {
public:
    ScriptedDialogsGuard() {
        Dialogs.OnUnexpected = [](const std::string& problem) { ADD_FAILURE() << problem; };
    }
    ~ScriptedDialogsGuard() {
        EXPECT_EQ(Dialogs.Pending(), 0u) << "scripted dialog answers left unused";
    }
    platform::ScriptedDialogs Dialogs;
};
