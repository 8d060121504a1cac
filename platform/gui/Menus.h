// Menus: items with "&" access keys, check marks, sub-menus; the pop-up menu
// of a control and the main menu bar of a form.
#pragma once

#include "gui/Controls.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace vcl {

// A menu item. Caption "-" makes a separator. An item with sub-items opens a
// sub-menu. A user's choice of an item runs OnClick (through SafeCall);
// Click() runs it from code. Either runs nothing while the item is disabled.
class TMenuItem : public QObject {
    Q_OBJECT
public:
    explicit TMenuItem(const std::string& caption = {}, QObject* owner = nullptr);
    ~TMenuItem() override;

    std::string Caption() const { return CaptionText; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return CheckedFlag; }
    void SetChecked(bool checked);
    bool Enabled() const { return EnabledFlag; }
    void SetEnabled(bool enabled);
    bool Visible() const { return VisibleFlag; }
    void SetVisible(bool visible);
    // Radio items of one GroupIndex show a round mark.
    bool RadioItem = false;
    int Tag = 0;

    // Sub-items, owned by this item.
    TMenuItem* Add(const std::string& caption);
    TMenuItem* AddSeparator() { return Add("-"); }
    int Count() const { return static_cast<int>(SubItems.size()); }
    TMenuItem* Items(int index) const { return SubItems.at(static_cast<size_t>(index)); }
    TMenuItem* Find(const std::string& caption) const; // by caption without "&"
    TMenuItem* ParentItem() const { return Owner; }

    void Click();
    TNotifyEvent OnClick;

    // The Qt objects (the action shown in the parent menu; the sub-menu).
    QAction* Action() const { return QtAction; }
    QMenu* SubMenu();

private:
    void Sync();
    std::string CaptionText;
    bool CheckedFlag = false;
    bool EnabledFlag = true;
    bool VisibleFlag = true;
    std::vector<TMenuItem*> SubItems;
    TMenuItem* Owner = nullptr;
    QAction* QtAction;
    QMenu* Menu = nullptr;
};

// The menu a control opens on a right click (TControl::PopupMenu).
class TPopupMenu : public QObject {
    Q_OBJECT
public:
    explicit TPopupMenu(QObject* owner = nullptr);
    ~TPopupMenu() override;
    TMenuItem* Items() const { return Root.get(); }
    TMenuItem* Add(const std::string& caption) { return Root->Add(caption); }
    // Off: a right click does not open it.
    bool AutoPopup = true;
    // Shows the menu at a screen position, without waiting; OnPopup runs first.
    void Popup(int screenX, int screenY);
    QMenu* Menu() const;
    TNotifyEvent OnPopup;

private:
    std::unique_ptr<TMenuItem> Root;
};

// The main menu of a form (TForm::SetMenu).
class TMainMenu : public QObject {
    Q_OBJECT
public:
    explicit TMainMenu(QObject* owner = nullptr);
    ~TMainMenu() override;
    TMenuItem* Items() const { return Root.get(); }
    TMenuItem* Add(const std::string& caption) { return Root->Add(caption); }
    // Fills bar with the top items (called by TForm::SetMenu).
    void BuildInto(QMenuBar* bar);

private:
    std::unique_ptr<TMenuItem> Root;
};

} // namespace vcl
