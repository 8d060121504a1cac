// Keeps the program's windows alive while the link waits for the interface
// (the wait seam of core/Waits.h). Each round of the wait processes the
// window system's events (paints, resizes, exposures, the frame's close
// button) and the due timers. Of the user's clicks and keys only those aimed
// at the admitted controls go through, and Escape runs OnEscape; any other
// input is dropped, so that no other action starts inside the wait.
#pragma once

#include "core/Waits.h"
#include "gui/Controls.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QEvent;
class QObject;

namespace vcl {

class TWaitKeeper {
public:
    // ended: true once the user ended what the wait is for (its value ends
    // the wait). admitted: the controls (and everything inside them) whose
    // input goes through. onEscape: run by Escape in any window (none: Escape
    // is dropped like any other key). onKey: given every other key press
    // first, whichever control has the focus; true when it used the key,
    // which then goes no further.
    TWaitKeeper(std::function<bool()> ended, const std::vector<QWidget*>& admitted,
                std::function<void()> onEscape = {},
                std::function<bool(uint16_t key, TShiftState shift)> onKey = {});
    // Every input goes through, as between two rounds of a loop whose
    // controls all act while it runs.
    explicit TWaitKeeper(std::function<bool()> ended);
    ~TWaitKeeper();
    TWaitKeeper(const TWaitKeeper&) = delete;
    TWaitKeeper& operator=(const TWaitKeeper&) = delete;

    // Whether event, about to reach receiver, goes through: every event that
    // is no user input, and user input aimed at an admitted control.
    bool Admits(QObject* receiver, QEvent* event) const;

private:
    bool Round();
    class Filter;
    std::function<bool()> Ended;
    std::vector<QPointer<QWidget>> Admitted;
    std::function<void()> OnEscape;
    std::function<bool(uint16_t key, TShiftState shift)> OnKey;
    bool AllInput = false;
    std::unique_ptr<Filter> InputFilter;
    platform::ScopedWaitHandler Handler;
};

} // namespace vcl
