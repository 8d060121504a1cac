#include "gui/ActnList.h"

#include <QAction>
#include <QEvent>
#include <QPixmap>
#include <QToolButton>

namespace vcl {

// ---------------------------------------------------------------------------
// TAction

TAction::TAction(const std::string& caption, QObject* owner)
    : QObject(owner), CaptionText(caption), QtAction(new QAction(this)) {
    QtAction->setCheckable(true);
    connect(QtAction, &QAction::triggered, this, [this] {
        QtAction->setChecked(CheckedFlag); // running an action never ticks it
        SafeCall([this] { Execute(); });
    });
    Sync();
}

TAction::~TAction() = default;

void TAction::Sync() {
    const QString caption = QString::fromStdString(CaptionText);
    QtAction->setText(caption);
    // Tool buttons show the icon text: keep the access key mark in it.
    QtAction->setIconText(caption);
    QtAction->setToolTip(QString::fromStdString(HintText));
    QtAction->setChecked(CheckedFlag);
    QtAction->setEnabled(EnabledFlag);
    QtAction->setVisible(VisibleFlag);
    QtAction->setIcon(ImageList && Image >= 0 ? ImageList->Icon(Image) : QIcon());
}

void TAction::SetCaption(const std::string& caption) {
    CaptionText = caption;
    Sync();
}

void TAction::SetChecked(bool checked) {
    CheckedFlag = checked;
    Sync();
}

void TAction::SetEnabled(bool enabled) {
    EnabledFlag = enabled;
    Sync();
}

void TAction::SetVisible(bool visible) {
    VisibleFlag = visible;
    Sync();
}

void TAction::SetImageIndex(int index) {
    Image = index;
    Sync();
}

void TAction::SetHint(const std::string& hint) {
    HintText = hint;
    Sync();
}

void TAction::SetImages(TImageList* images) {
    ImageList = images;
    Sync();
}

bool TAction::Execute() {
    if (!EnabledFlag || !OnExecute)
        return false;
    OnExecute();
    return true;
}

// ---------------------------------------------------------------------------
// TImageList

TImageList::TImageList(int width, int height, QObject* owner)
    : QObject(owner), W(width), H(height) {}

int TImageList::Add(const QImage& picture) {
    QImage image = picture;
    if (!image.isNull() && image.size() != QSize(W, H))
        image = image.scaled(W, H, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    Pictures.push_back(image);
    return Count() - 1;
}

QImage TImageList::Image(int index) const {
    if (index < 0 || index >= Count())
        return {};
    return Pictures[static_cast<size_t>(index)];
}

QIcon TImageList::Icon(int index) const {
    const QImage image = Image(index);
    if (image.isNull())
        return {};
    QIcon icon(QPixmap::fromImage(image));
    // The disabled look: a greyed copy of the picture.
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    icon.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    return icon;
}

void TImageList::Clear() {
    Pictures.clear();
}

// ---------------------------------------------------------------------------
// TActionToolBar

TActionToolBar::TActionToolBar(TWinControl* parent)
    : QToolBar(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setMovable(false);
    setFloatable(false);
    SetStyle(tsCaptions);
}

void TActionToolBar::SetStyle(TToolBarStyle style) {
    setToolButtonStyle(style == tsCaptions   ? Qt::ToolButtonTextOnly
                       : style == tsPictures ? Qt::ToolButtonIconOnly
                                             : Qt::ToolButtonTextBesideIcon);
}

void TActionToolBar::SetVertical(bool vertical) {
    setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
}

void TActionToolBar::SetImages(TImageList* images) {
    ImageList = images;
    if (images)
        setIconSize(QSize(images->Width(), images->Height()));
    for (TAction* action : BarActions)
        if (!action->Images())
            action->SetImages(images);
}

void TActionToolBar::AddAction(TAction* action) {
    if (!action->Images() && ImageList)
        action->SetImages(ImageList);
    BarActions.push_back(action);
    addAction(action->Action());
    if (QWidget* button = widgetForAction(action->Action())) {
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
    }
}

bool TActionToolBar::eventFilter(QObject* watched, QEvent* event) {
    // A button shows its action's hint, and nothing when it has none (Qt
    // would show the caption).
    if (event->type() == QEvent::ToolTip)
        for (TAction* action : BarActions)
            if (widgetForAction(action->Action()) == watched)
                return action->Hint().empty();
    return QToolBar::eventFilter(watched, event);
}

void TActionToolBar::AddSeparator() {
    addSeparator();
}

QToolButton* TActionToolBar::ButtonFor(const TAction* action) const {
    return qobject_cast<QToolButton*>(widgetForAction(action->Action()));
}

void TActionToolBar::SetColor(TColor color) {
    TControl::SetColor(color);
    setAutoFillBackground(true);
}

} // namespace vcl
