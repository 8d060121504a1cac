// The start of the workbench program, in its order: the single-instance
// lock "Kestrova", the splash window, the application title, the windows
// created one after the other (main window first, its creation searching the
// interface), the splash closed and released.
#pragma once

#include "core/SingleInstance.h"

#include <functional>
#include <memory>
#include <string>

namespace Intro {
class TForm2;
}

namespace kestrova {

struct StartHooks {
    // Folder of the single-instance lock (empty: the user's runtime folder).
    std::string LockDirectory;
    // Called after each painting of the splash window (its first showing,
    // then its "Chargement.." label).
    std::function<void(Intro::TForm2& splash)> SplashPainted;
};

enum class StartResult {
    SecondInstance, // the program already runs: end at once, silently
    Terminated,     // the windows' creation failed: the application ends
    Running,        // the windows exist: run the message loop
};

// The program's arguments must be set (SetProgramArguments) and the
// application object made before. `lock` receives the held lock, to keep
// for the life of the program.
StartResult StartKestrova(const StartHooks& hooks, std::unique_ptr<platform::SingleInstance>& lock);

// Frees the windows that the start created (tests).
void FreeKestrovaWindows();

} // namespace kestrova
