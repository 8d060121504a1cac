// The start of the oscilloscope program, in its order: the single-instance
// lock "Trevalume", the splash window, the application title, the main window
// (its creation searching the interface) and the about box, the splash closed
// and released.
#pragma once

#include "About.h"
#include "core/SingleInstance.h"

#include <functional>
#include <memory>
#include <string>

namespace Intro {
class TForm2;
}

namespace trevalume {

struct TrevalumeStartHooks {
    // Folder of the single-instance lock (empty: the user's runtime folder).
    std::string LockDirectory;
    // Called after each painting of the splash window.
    std::function<void(Intro::TForm2& splash)> SplashPainted;
};

enum class TrevalumeStartResult {
    SecondInstance, // the program already runs: end at once, silently
    Terminated,     // the windows' creation failed: the application ends
    Running,        // the windows exist: run the message loop
};

// The about box's texts of the oscilloscope.
About::AboutTexts TrevalumeAboutTexts();

// The application object must exist (InitApplication and the embedded
// pictures done). `lock` receives the held lock, kept for the program's life.
TrevalumeStartResult StartTrevalume(const TrevalumeStartHooks& hooks,
                                    std::unique_ptr<platform::SingleInstance>& lock);

// Frees the windows that the start created (tests).
void FreeTrevalumeWindows();

} // namespace trevalume
