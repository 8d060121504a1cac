#include "gui/Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace vcl {

namespace {
QString WithoutAccelerators(const std::string& caption) {
    return StripAccelerators(QString::fromStdString(caption));
}
} // namespace

TMenuItem::TMenuItem(const std::string& caption, QObject* owner)
    : QObject(owner), CaptionText(caption), QtAction(new QAction(this)) {
    connect(QtAction, &QAction::triggered, this, [this] {
        QtAction->setChecked(CheckedFlag); // a choice never ticks by itself
        SafeCall([this] { Click(); });
    });
    Sync();
}

TMenuItem::~TMenuItem() {
    delete Menu;
}

void TMenuItem::Sync() {
    const bool separator = CaptionText == "-";
    QtAction->setSeparator(separator);
    // A separator's caption "-" is no text to show beside its line.
    QtAction->setText(separator ? QString() : QString::fromStdString(CaptionText));
    QtAction->setCheckable(CheckedFlag || RadioItem);
    QtAction->setChecked(CheckedFlag);
    QtAction->setEnabled(EnabledFlag);
    QtAction->setVisible(VisibleFlag);
}

void TMenuItem::SetCaption(const std::string& caption) {
    CaptionText = caption;
    Sync();
}

void TMenuItem::SetChecked(bool checked) {
    CheckedFlag = checked;
    Sync();
}

void TMenuItem::SetEnabled(bool enabled) {
    EnabledFlag = enabled;
    Sync();
}

void TMenuItem::SetVisible(bool visible) {
    VisibleFlag = visible;
    Sync();
}

QMenu* TMenuItem::SubMenu() {
    if (!Menu) {
        Menu = new QMenu;
        Menu->setTitle(QString::fromStdString(CaptionText));
        QtAction->setMenu(Menu);
    }
    return Menu;
}

TMenuItem* TMenuItem::Add(const std::string& caption) {
    auto* item = new TMenuItem(caption, this);
    item->Owner = this;
    SubItems.push_back(item);
    SubMenu()->addAction(item->Action());
    return item;
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    const QString wanted = WithoutAccelerators(caption);
    for (TMenuItem* item : SubItems)
        if (WithoutAccelerators(item->CaptionText) == wanted)
            return item;
    return nullptr;
}

void TMenuItem::Click() {
    if (EnabledFlag && OnClick)
        OnClick();
}

TPopupMenu::TPopupMenu(QObject* owner) : QObject(owner), Root(std::make_unique<TMenuItem>()) {}
TPopupMenu::~TPopupMenu() = default;

QMenu* TPopupMenu::Menu() const {
    return Root->SubMenu();
}

void TPopupMenu::Popup(int screenX, int screenY) {
    SafeCall(OnPopup);
    Menu()->popup(QPoint(screenX, screenY));
}

TMainMenu::TMainMenu(QObject* owner) : QObject(owner), Root(std::make_unique<TMenuItem>()) {}
TMainMenu::~TMainMenu() = default;

void TMainMenu::BuildInto(QMenuBar* bar) {
    for (int i = 0; i < Root->Count(); ++i)
        bar->addAction(Root->Items(i)->Action());
}

} // namespace vcl
