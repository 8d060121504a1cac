#include "gui/Controls.h"

#include "gui/Forms.h"
#include "gui/Menus.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QMouseEvent>

#include <algorithm>

namespace vcl {

// ---------------------------------------------------------------------------
// Keys and shift states

uint16_t QtKeyToVirtualKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<uint16_t>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<uint16_t>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<uint16_t>(VK_F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

QString StripAccelerators(const QString& caption) {
    QString result;
    result.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        result += caption[i];
    }
    return result;
}

void SafeCall(const std::function<void()>& handler) {
    if (!handler)
        return;
    try {
        handler();
    } catch (...) {
        Application->HandleException();
    }
}

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Changed() {
    if (OnChange)
        OnChange();
}

void TStrings::SetStrings(int index, const std::string& text) {
    List.at(static_cast<size_t>(index)) = text;
    Changed();
}

int TStrings::Add(const std::string& text) {
    List.push_back(text);
    Changed();
    return Count() - 1;
}

void TStrings::Insert(int index, const std::string& text) {
    index = std::clamp(index, 0, Count());
    List.insert(List.begin() + index, text);
    Changed();
}

void TStrings::Delete(int index) {
    if (index < 0 || index >= Count())
        return;
    List.erase(List.begin() + index);
    Changed();
}

void TStrings::Clear() {
    List.clear();
    Changed();
}

void TStrings::Assign(const std::vector<std::string>& items) {
    List = items;
    Changed();
}

int TStrings::IndexOf(const std::string& text) const {
    const auto it = std::find(List.begin(), List.end(), text);
    return it == List.end() ? -1 : static_cast<int>(it - List.begin());
}

std::string TStrings::Text() const {
    std::string text;
    for (const auto& line : List)
        text += line + "\r\n";
    return text;
}

// ---------------------------------------------------------------------------
// Mouse, context menu and resize events of every control

class ControlEventFilter : public QObject {
public:
    static ControlEventFilter& Instance() {
        static ControlEventFilter filter;
        return filter;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* control = dynamic_cast<TControl*>(watched);
        if (!control)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return Press(*control, static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            return Release(*control, static_cast<QMouseEvent*>(event));
        case QEvent::MouseMove:
            return Move(*control, static_cast<QMouseEvent*>(event));
        case QEvent::ContextMenu:
            return ContextMenu(*control, static_cast<QContextMenuEvent*>(event));
        case QEvent::Resize:
            if (auto* container = dynamic_cast<TWinControl*>(control))
                container->Realign();
            SafeCall(control->OnResize);
            return false;
        default:
            return false;
        }
    }

private:
    static TMouseButton ButtonOf(const QMouseEvent* event) {
        switch (event->button()) {
        case Qt::RightButton:
            return mbRight;
        case Qt::MiddleButton:
            return mbMiddle;
        default:
            return mbLeft;
        }
    }

    static bool Press(TControl& control, QMouseEvent* event) {
        const QPoint at = event->position().toPoint();
        TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons());
        if (event->type() == QEvent::MouseButtonDblClick) {
            shift |= ssDouble;
            SafeCall(control.OnDblClick);
        }
        if (control.OnMouseDown) {
            const TMouseButton button = ButtonOf(event);
            SafeCall([&] { control.OnMouseDown(button, shift, at.x(), at.y()); });
        }
        if (!control.OwnsMouse())
            return false;
        if (event->button() == Qt::LeftButton)
            control.PressedInside = true;
        event->accept();
        return true;
    }

    static bool Release(TControl& control, QMouseEvent* event) {
        const QPoint at = event->position().toPoint();
        if (control.OnMouseUp) {
            const TMouseButton button = ButtonOf(event);
            const TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons());
            SafeCall([&] { control.OnMouseUp(button, shift, at.x(), at.y()); });
        }
        if (!control.OwnsMouse())
            return false;
        const bool click = event->button() == Qt::LeftButton && control.PressedInside &&
                           control.Widget()->rect().contains(at);
        if (event->button() == Qt::LeftButton)
            control.PressedInside = false;
        if (click)
            SafeCall([&] { control.Click(); });
        event->accept();
        return true;
    }

    static bool Move(TControl& control, QMouseEvent* event) {
        if (control.OnMouseMove) {
            const QPoint at = event->position().toPoint();
            const TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons());
            SafeCall([&] { control.OnMouseMove(shift, at.x(), at.y()); });
        }
        if (!control.OwnsMouse())
            return false;
        event->accept();
        return true;
    }

    static bool ContextMenu(TControl& control, QContextMenuEvent* event) {
        bool handled = false;
        if (control.OnContextPopup) {
            const QPoint at = event->pos();
            SafeCall([&] { control.OnContextPopup(at.x(), at.y(), handled); });
        }
        if (!handled && control.PopupMenu) {
            if (control.PopupMenu->AutoPopup)
                control.PopupMenu->Popup(event->globalPos().x(), event->globalPos().y());
            handled = true;
        }
        if (handled)
            event->accept();
        return handled;
    }
};

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(QWidget* self, TWinControl* parent) : Self(self), ParentControl(parent) {
    Self->installEventFilter(&ControlEventFilter::Instance());
    if (ParentControl) {
        ParentControl->AddChild(this);
        FontValue = ParentControl->FontValue; // the parent's font, as Qt does
    }
}

TControl::~TControl() {
    if (ParentControl)
        ParentControl->RemoveChild(this);
}

TForm* TControl::OwnerForm() const {
    return dynamic_cast<TForm*>(Self->window());
}

int TControl::Left() const {
    return Self->x();
}
int TControl::Top() const {
    return Self->y();
}
int TControl::Width() const {
    return Self->width();
}
int TControl::Height() const {
    return Self->height();
}
void TControl::SetLeft(int left) {
    SetBounds(left, Top(), Width(), Height());
}
void TControl::SetTop(int top) {
    SetBounds(Left(), top, Width(), Height());
}
void TControl::SetWidth(int width) {
    SetBounds(Left(), Top(), width, Height());
}
void TControl::SetHeight(int height) {
    SetBounds(Left(), Top(), Width(), height);
}
QRect TControl::BoundsRect() const {
    return Self->geometry();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    SetGeometry(QRect(left, top, std::max(width, 0), std::max(height, 0)));
    RememberAnchors();
    if (AlignValue != alNone)
        RealignParent();
}

void TControl::SetGeometry(const QRect& rect) {
    const bool resized = rect.size() != Self->size();
    Self->setGeometry(rect);
    if (resized)
        BoundsChanged();
}

void TControl::BoundsChanged() {}

int TControl::ClientWidth() const {
    return Self->width();
}
int TControl::ClientHeight() const {
    return Self->height();
}

void TControl::SetAlign(TAlign align) {
    if (AlignValue == align)
        return;
    AlignValue = align;
    RealignParent();
}

void TControl::SetAnchors(TAnchors anchors) {
    AnchorsValue = anchors;
    RememberAnchors();
}

void TControl::RememberAnchors() {
    if (!ParentControl)
        return;
    const QRect area = ParentControl->AlignRect();
    AnchorRight = area.x() + area.width() - (Left() + Width());
    AnchorBottom = area.y() + area.height() - (Top() + Height());
}

void TControl::ApplyAnchors(const QRect& area) {
    if (AlignValue != alNone || (AnchorsValue & (akRight | akBottom)) == 0)
        return;
    int left = Left();
    int top = Top();
    int width = Width();
    int height = Height();
    const int right = area.x() + area.width() - AnchorRight;
    const int bottom = area.y() + area.height() - AnchorBottom;
    if (AnchorsValue & akRight) {
        if (AnchorsValue & akLeft)
            width = std::max(right - left, 0);
        else
            left = right - width;
    }
    if (AnchorsValue & akBottom) {
        if (AnchorsValue & akTop)
            height = std::max(bottom - top, 0);
        else
            top = bottom - height;
    }
    SetGeometry(QRect(left, top, width, height));
}

void TControl::RealignParent() {
    if (ParentControl)
        ParentControl->Realign();
}

bool TControl::Visible() const {
    return OwnVisible;
}

void TControl::SetVisible(bool visible) {
    if (!visible)
        MoveFocusToFormIfInside();
    OwnVisible = visible;
    Self->setVisible(visible);
    if (AlignValue != alNone)
        RealignParent();
}

bool TControl::Enabled() const {
    return !Self->testAttribute(Qt::WA_ForceDisabled);
}

void TControl::SetEnabled(bool enabled) {
    if (!enabled)
        MoveFocusToFormIfInside();
    Self->setEnabled(enabled);
}

void TControl::MoveFocusToFormIfInside() {
    QWidget* window = Self->window();
    if (window == Self)
        return;
    QWidget* focus = window->focusWidget();
    if (focus && (focus == Self || Self->isAncestorOf(focus)))
        window->setFocus(Qt::OtherFocusReason);
}

void TControl::SetFont(const TFont& font) {
    FontValue = font;
    ApplyFont();
}

void TControl::ApplyFont() {
    Self->setFont(ToQFont(FontValue));
    QPalette palette = Self->palette();
    const QColor color = ColorToQColor(FontValue.Color);
    // The enabled states only: a disabled control keeps the toolkit's greyed
    // text, whatever colour its font has.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, color);
    Self->setPalette(palette);
}

void TControl::SetColor(TColor color) {
    ColorValue = color;
    QPalette palette = Self->palette();
    palette.setColor(QPalette::Window, ColorToQColor(color));
    palette.setColor(QPalette::Button, ColorToQColor(color));
    Self->setPalette(palette);
    Self->update();
}

void TControl::Invalidate() {
    Self->update();
}
void TControl::Repaint() {
    Self->repaint();
}
void TControl::BringToFront() {
    Self->raise();
}
void TControl::SendToBack() {
    Self->lower();
}
void TControl::SetFocus() {
    Self->setFocus(Qt::OtherFocusReason);
}
bool TControl::Focused() const {
    return Self->hasFocus();
}
QPoint TControl::ClientToScreen(QPoint point) const {
    return Self->mapToGlobal(point);
}
QPoint TControl::ScreenToClient(QPoint point) const {
    return Self->mapFromGlobal(point);
}

void TControl::Click() {
    if (OnClick)
        OnClick();
}

// ---------------------------------------------------------------------------
// TWinControl and the align engine

TWinControl::TWinControl(QWidget* self, TWinControl* parent) : TControl(self, parent) {}

TWinControl::~TWinControl() {
    // The children's widgets die with this widget, after this part of the
    // object: they must not come back to it.
    for (TControl* child : Children)
        child->ParentControl = nullptr;
}

void TWinControl::AddChild(TControl* child) {
    Children.push_back(child);
}

void TWinControl::RemoveChild(TControl* child) {
    Children.erase(std::remove(Children.begin(), Children.end(), child), Children.end());
}

QRect TWinControl::AlignRect() const {
    return Container()->rect();
}
int TWinControl::ClientWidth() const {
    return AlignRect().width();
}
int TWinControl::ClientHeight() const {
    return AlignRect().height();
}

void TWinControl::BoundsChanged() {
    Realign();
}

void TWinControl::Realign() {
    if (Aligning)
        return;
    Aligning = true;
    const QRect area = AlignRect();
    int left = area.x();
    int top = area.y();
    int right = area.x() + area.width();
    int bottom = area.y() + area.height();

    auto placed = [this](TAlign kind) {
        std::vector<TControl*> list;
        for (TControl* child : Children)
            if (child->AlignValue == kind && child->OwnVisible)
                list.push_back(child);
        std::stable_sort(list.begin(), list.end(), [kind](TControl* a, TControl* b) {
            switch (kind) {
            case alTop:
                return a->Top() < b->Top();
            case alBottom:
                return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft:
                return a->Left() < b->Left();
            case alRight:
                return a->Left() + a->Width() > b->Left() + b->Width();
            default:
                return false;
            }
        });
        return list;
    };

    for (TControl* c : placed(alTop)) {
        const int h = c->Height();
        c->SetGeometry(QRect(left, top, std::max(right - left, 0), h));
        top += h;
    }
    for (TControl* c : placed(alBottom)) {
        const int h = c->Height();
        c->SetGeometry(QRect(left, bottom - h, std::max(right - left, 0), h));
        bottom -= h;
    }
    for (TControl* c : placed(alLeft)) {
        const int w = c->Width();
        c->SetGeometry(QRect(left, top, w, std::max(bottom - top, 0)));
        left += w;
    }
    for (TControl* c : placed(alRight)) {
        const int w = c->Width();
        c->SetGeometry(QRect(right - w, top, w, std::max(bottom - top, 0)));
        right -= w;
    }
    for (TControl* c : placed(alClient))
        c->SetGeometry(QRect(left, top, std::max(right - left, 0), std::max(bottom - top, 0)));
    for (TControl* c : Children)
        c->ApplyAnchors(area);
    Aligning = false;
}

} // namespace vcl
