// Speed buttons: flat buttons that can stay pressed, in groups.
#pragma once

#include "gui/Controls.h"

#include <QToolButton>

namespace vcl {

// With GroupIndex 0 a speed button is a plain push button. With GroupIndex
// > 0 a click presses it and raises the other buttons of the same group in
// the same parent; AllowAllUp lets a click raise a pressed button. Setting
// Down from code changes the state (and the group) and runs no handler.
class TSpeedButton : public QToolButton, public TControl {
    Q_OBJECT
public:
    explicit TSpeedButton(TWinControl* parent);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Down() const { return DownFlag; }
    void SetDown(bool down);
    int GroupIndex() const { return Group; }
    void SetGroupIndex(int group);
    bool AllowAllUp = false;
    bool Flat() const;
    void SetFlat(bool flat);
    void SetGlyph(const QImage& glyph);
    // A user's click: the group rule, then OnClick.
    void Click() override;

private:
    void ApplyDown();
    bool DownFlag = false;
    int Group = 0;
};

} // namespace vcl
