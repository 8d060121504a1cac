#include "gui/Buttons.h"

#include <QIcon>
#include <QPixmap>

namespace vcl {

TSpeedButton::TSpeedButton(TWinControl* parent)
    : QToolButton(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setCheckable(true);
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(this, &QToolButton::clicked, this, [this] { SafeCall([this] { Click(); }); });
}

std::string TSpeedButton::Caption() const {
    return text().toStdString();
}
void TSpeedButton::SetCaption(const std::string& caption) {
    setText(QString::fromStdString(caption));
}

void TSpeedButton::ApplyDown() {
    setChecked(DownFlag);
}

void TSpeedButton::SetDown(bool down) {
    if (Group == 0)
        down = false;
    if (down == DownFlag) {
        ApplyDown();
        return;
    }
    if (DownFlag && !AllowAllUp)
        return; // a pressed button of a group rises only when another is pressed
    DownFlag = down;
    if (DownFlag && parentWidget()) {
        for (QObject* child : parentWidget()->children()) {
            auto* other = dynamic_cast<TSpeedButton*>(child);
            if (other && other != this && other->Group == Group && other->DownFlag) {
                other->DownFlag = false;
                other->ApplyDown();
            }
        }
    }
    ApplyDown();
}

void TSpeedButton::SetGroupIndex(int group) {
    Group = std::max(group, 0);
    if (Group == 0) {
        DownFlag = false;
        ApplyDown();
    }
}

bool TSpeedButton::Flat() const {
    return autoRaise();
}
void TSpeedButton::SetFlat(bool flat) {
    setAutoRaise(flat);
}

void TSpeedButton::SetGlyph(const QImage& glyph) {
    setIcon(QIcon(QPixmap::fromImage(glyph)));
    setIconSize(glyph.size());
    setToolButtonStyle(text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}

void TSpeedButton::Click() {
    if (Group > 0) {
        if (!DownFlag)
            SetDown(true);
        else if (AllowAllUp)
            SetDown(false);
    }
    ApplyDown(); // Qt toggled the check state on its own
    TControl::Click();
}

} // namespace vcl
