// Actions, image lists and action tool bars.
#pragma once

#include "gui/Controls.h"

#include <QIcon>
#include <QObject>
#include <QToolBar>

#include <string>
#include <vector>

class QAction;
class QToolButton;

namespace vcl {
class TImageList;

// An action: a caption with "&" access key, a tick, an enabled and a visible
// state, a picture of an image list, a hint. Every tool-bar button and menu
// entry showing it follows these. Execute runs OnExecute only while the
// action is enabled, from code as from a tool bar or a menu. Running the
// action never changes Checked by itself.
class TAction : public QObject {
    Q_OBJECT
public:
    explicit TAction(const std::string& caption = {}, QObject* owner = nullptr);
    ~TAction() override;

    std::string Caption() const { return CaptionText; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return CheckedFlag; }
    void SetChecked(bool checked);
    bool Enabled() const { return EnabledFlag; }
    void SetEnabled(bool enabled);
    bool Visible() const { return VisibleFlag; }
    void SetVisible(bool visible);
    int ImageIndex() const { return Image; }
    void SetImageIndex(int index);
    std::string Hint() const { return HintText; }
    void SetHint(const std::string& hint);
    TImageList* Images() const { return ImageList; }
    void SetImages(TImageList* images);
    int Tag = 0;

    // Runs OnExecute; false when the action is disabled or has none.
    bool Execute();
    TNotifyEvent OnExecute;

    QAction* Action() const { return QtAction; }

private:
    void Sync();
    std::string CaptionText;
    std::string HintText;
    bool CheckedFlag = false;
    bool EnabledFlag = true;
    bool VisibleFlag = true;
    int Image = -1;
    TImageList* ImageList = nullptr;
    QAction* QtAction;
};

// Pictures by index, all of one size.
class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(int width = 16, int height = 16, QObject* owner = nullptr);
    int Width() const { return W; }
    int Height() const { return H; }
    int Count() const { return static_cast<int>(Pictures.size()); }
    // Adds a picture (scaled to the list's size when it differs); its index.
    int Add(const QImage& picture);
    QImage Image(int index) const;
    QIcon Icon(int index) const; // empty icon for an index out of range
    void Clear();

private:
    int W, H;
    std::vector<QImage> Pictures;
};

enum TToolBarStyle { tsCaptions, tsPictures, tsCaptionsAndPictures };

// A tool bar showing actions as buttons, with captions or pictures only,
// horizontal or vertical, and separators. A button shows its action's tick
// (pressed look), enabled state and visibility; its click runs the action.
// Buttons take no focus and show the action's hint as tool tip (none when
// it has no hint).
class TActionToolBar : public QToolBar, public TControl {
    Q_OBJECT
public:
    explicit TActionToolBar(TWinControl* parent);
    void SetStyle(TToolBarStyle style);
    void SetVertical(bool vertical);
    void SetImages(TImageList* images);
    void AddAction(TAction* action);
    void AddSeparator();
    // The button of action (nullptr when it is not on this bar).
    QToolButton* ButtonFor(const TAction* action) const;
    const std::vector<TAction*>& Actions() const { return BarActions; }
    void SetColor(TColor color) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<TAction*> BarActions;
    TImageList* ImageList = nullptr;
};

} // namespace vcl
