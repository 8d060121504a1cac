#include "gui/WaitKeeper.h"

#include "gui/Controls.h"
#include "gui/Timers.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace vcl {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool IsEscape(const QEvent* event) {
    const QEvent::Type type = event->type();
    return (type == QEvent::KeyPress || type == QEvent::KeyRelease ||
            type == QEvent::ShortcutOverride) &&
           static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

} // namespace

// Installed on the application for the rounds of the wait only.
class TWaitKeeper::Filter final : public QObject {
public:
    explicit Filter(TWaitKeeper& keeper) : Keeper(keeper) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (Keeper.OnEscape && IsEscape(event)) {
            if (event->type() == QEvent::KeyPress &&
                !static_cast<QKeyEvent*>(event)->isAutoRepeat())
                SafeCall(Keeper.OnEscape);
            return true;
        }
        if (Keeper.OnKey && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const uint16_t code = QtKeyToVirtualKey(key->key());
            bool used = false;
            if (code != 0)
                SafeCall([&] { used = Keeper.OnKey(code, ShiftStateFrom(key->modifiers())); });
            if (used)
                return true;
        }
        return !Keeper.Admits(receiver, event);
    }

private:
    TWaitKeeper& Keeper;
};

TWaitKeeper::TWaitKeeper(std::function<bool()> ended, const std::vector<QWidget*>& admitted,
                         std::function<void()> onEscape,
                         std::function<bool(uint16_t key, TShiftState shift)> onKey)
    : Ended(std::move(ended)), Admitted(admitted.begin(), admitted.end()),
      OnEscape(std::move(onEscape)), OnKey(std::move(onKey)),
      InputFilter(std::make_unique<Filter>(*this)), Handler([this] { return Round(); }) {}

TWaitKeeper::TWaitKeeper(std::function<bool()> ended) : TWaitKeeper(std::move(ended), {}) {
    AllInput = true;
}

TWaitKeeper::~TWaitKeeper() = default;

bool TWaitKeeper::Admits(QObject* receiver, QEvent* event) const {
    if (AllInput || !IsUserInput(event->type()))
        return true;
    // The window system's windows pass the input on to their widgets, where
    // it is judged.
    if (receiver->isWindowType())
        return true;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget)
        return false; // shortcuts of actions and the like
    for (const QPointer<QWidget>& control : Admitted)
        if (control && (widget == control || control->isAncestorOf(widget)))
            return true;
    return false;
}

bool TWaitKeeper::Round() {
    if (Ended && Ended())
        return true;
    QCoreApplication* app = QCoreApplication::instance();
    const bool filtered = app && !AllInput;
    if (filtered)
        app->installEventFilter(InputFilter.get());
    ProcessMessages();
    if (filtered)
        app->removeEventFilter(InputFilter.get());
    return Ended && Ended();
}

} // namespace vcl
