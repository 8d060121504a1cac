// The base of every control: absolute geometry inside the parent's client
// area (Left, Top, Width, Height), VCL-style Align and Anchors laid out by a
// small align engine, Visible and Enabled, font, mouse and context-menu
// events. Each control class derives from the Qt widget it wraps and from
// TControl (containers from TWinControl); Qt's parent-child ownership frees
// them with their parent.
//
// Handlers are std::function members named after the VCL events. Handlers
// run from user input are called through SafeCall: an exception that leaves
// them is shown in the application's standard error box (TApplication::
// ShowException) and the event loop goes on. Handlers run by setting a
// property from code (Checked, ItemIndex, Click()) let exceptions through to
// the caller.
#pragma once

#include "gui/Graphics.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vcl {

class TWinControl;
class TPopupMenu;
class TForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorKind : unsigned {
    akLeft = 1u << 0,
    akTop = 1u << 1,
    akRight = 1u << 2,
    akBottom = 1u << 3
};
using TAnchors = unsigned; // TAnchorKind bits; akLeft | akTop by default

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned; // TShiftFlag bits

// Windows virtual-key codes, as the key handlers receive them.
enum : uint16_t {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F1 = 112,
};

// Modal results (TForm::ShowModal, TButton::ModalResult).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

using TNotifyEvent = std::function<void()>;
using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(uint16_t& key, TShiftState shift)>;
// x, y in the control; set handled to keep the pop-up menu closed.
using TContextPopupEvent = std::function<void(int x, int y, bool& handled)>;

// Qt key and modifiers -> virtual-key code and shift state (0: no mapping).
uint16_t QtKeyToVirtualKey(int qtKey);
TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});

// A caption as shown: "&x" -> "x", "&&" -> "&".
QString StripAccelerators(const QString& caption);

// Runs handler (when set); an exception leaving it goes to the application's
// standard error box. Used at every boundary between Qt's event loop and
// the programs' handlers.
void SafeCall(const std::function<void()>& handler);

// A list of strings with a change hook, for Items and Lines properties.
class TStrings {
public:
    int Count() const { return static_cast<int>(List.size()); }
    const std::string& operator[](int index) const { return List.at(static_cast<size_t>(index)); }
    const std::string& Strings(int index) const { return (*this)[index]; }
    void SetStrings(int index, const std::string& text);
    int Add(const std::string& text); // the new item's index
    void Insert(int index, const std::string& text);
    void Delete(int index);
    void Clear();
    void Assign(const std::vector<std::string>& items);
    int IndexOf(const std::string& text) const;
    const std::vector<std::string>& Items() const { return List; }
    // Lines joined by "\r\n", each followed by it (VCL Text).
    std::string Text() const;

    // The owning control's hook, run after every change.
    std::function<void()> OnChange;

private:
    void Changed();
    std::vector<std::string> List;
};

class TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    QWidget* Widget() const { return Self; }
    TWinControl* Parent() const { return ParentControl; }
    // The form holding this control (or the form itself).
    TForm* OwnerForm() const;

    // Geometry, relative to the parent's client area (for a form: the
    // screen, and Width/Height are the client area with the menu bar).
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    QRect BoundsRect() const;

    TAlign Align() const { return AlignValue; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return AnchorsValue; }
    void SetAnchors(TAnchors anchors);

    // Visible is the control's own flag (a control inside a hidden parent
    // can be Visible). Hiding or disabling the control that has the focus
    // gives the focus to its form, so that key presses go to the form's key
    // handler and never to another control.
    virtual bool Visible() const;
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    virtual void SetEnabled(bool enabled);

    const TFont& Font() const { return FontValue; }
    virtual void SetFont(const TFont& font);
    TColor Color() const { return ColorValue; }
    virtual void SetColor(TColor color);

    std::string Hint;
    bool ShowHint = false;
    int Tag = 0;

    // Opens on a right click unless OnContextPopup sets handled or the menu's
    // AutoPopup is off.
    TPopupMenu* PopupMenu = nullptr;

    virtual void Invalidate(); // paints at the next paint event
    void Repaint();            // paints at once
    void BringToFront();
    void SendToBack();
    void SetFocus();
    bool Focused() const;
    QPoint ClientToScreen(QPoint point) const;
    QPoint ScreenToClient(QPoint point) const;

    // Runs OnClick (VCL Click): what a user's click does after the control
    // changed its state.
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TContextPopupEvent OnContextPopup;
    TNotifyEvent OnResize;

protected:
    // self: the widget this control is (the derived object itself).
    TControl(QWidget* self, TWinControl* parent);
    // Controls drawn by this layer (labels, panels, pictures, paint boxes)
    // take the mouse themselves: their events do not reach the parent, and
    // a left press and release inside is a click.
    virtual bool OwnsMouse() const { return false; }
    // Puts the font on the widget (QFont and text colours).
    virtual void ApplyFont();
    void RealignParent();
    // Sets the widget's geometry; BoundsChanged follows a change of size
    // (hidden widgets get no resize event, so the layer lays out itself).
    void SetGeometry(const QRect& rect);
    virtual void BoundsChanged();

private:
    friend class TWinControl;
    friend class ControlEventFilter;
    void RememberAnchors();
    void ApplyAnchors(const QRect& area);
    void MoveFocusToFormIfInside();

    QWidget* Self;
    TWinControl* ParentControl = nullptr;
    TAlign AlignValue = alNone;
    TAnchors AnchorsValue = akLeft | akTop;
    int AnchorRight = 0; // distances to the parent's right and bottom
    int AnchorBottom = 0;
    bool OwnVisible = true;
    TFont FontValue;
    TColor ColorValue = clBtnFace;
    bool PressedInside = false;
};

// A control that holds others: its children are laid out by Align on every
// resize (alTop, alBottom, alLeft, alRight, alClient, in that order, each
// kind in the order of its position), and the children anchored right or
// bottom follow the parent's size.
class TWinControl : public TControl {
public:
    ~TWinControl() override;
    // Where children's widgets live.
    virtual QWidget* Container() const { return Widget(); }
    // The client rectangle the align engine fills (container coordinates).
    virtual QRect AlignRect() const;
    const std::vector<TControl*>& Controls() const { return Children; }
    int ControlCount() const { return static_cast<int>(Children.size()); }
    // Runs the align engine now (it also runs on every resize).
    void Realign();
    int ClientWidth() const override;
    int ClientHeight() const override;

protected:
    TWinControl(QWidget* self, TWinControl* parent);

protected:
    void BoundsChanged() override;

private:
    friend class TControl;
    friend class ControlEventFilter;
    void AddChild(TControl* child);
    void RemoveChild(TControl* child);
    std::vector<TControl*> Children;
    bool Aligning = false;
};

} // namespace vcl
