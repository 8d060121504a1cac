#include "gui/ExtCtrls.h"

#include "gui/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>

#include <algorithm>

namespace vcl {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

const QColor BevelLight(255, 255, 255);
const QColor BevelShadow(160, 160, 160);

void DrawBevel(QPainter& painter, QRect& rect, TBevelCut cut, int width) {
    if (cut == bvNone)
        return;
    for (int i = 0; i < width; ++i) {
        if (cut != bvSpace) {
            const QColor topLeft = cut == bvRaised ? BevelLight : BevelShadow;
            const QColor bottomRight = cut == bvRaised ? BevelShadow : BevelLight;
            const int l = rect.x(), t = rect.y(), r = rect.x() + rect.width() - 1,
                      b = rect.y() + rect.height() - 1;
            painter.fillRect(QRect(l, t, rect.width(), 1), topLeft);
            painter.fillRect(QRect(l, t, 1, rect.height()), topLeft);
            painter.fillRect(QRect(l, b, rect.width(), 1), bottomRight);
            painter.fillRect(QRect(r, t, 1, rect.height()), bottomRight);
        }
        rect.adjust(1, 1, -1, -1);
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TPanel

TPanel::TPanel(TWinControl* parent)
    : QFrame(parent ? parent->Container() : nullptr), TWinControl(this, parent) {
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    SetColor(clBtnFace);
}

void TPanel::SetCaption(const std::string& caption) {
    CaptionText = caption;
    update();
}

void TPanel::SetAlignment(TAlignment alignment) {
    AlignmentValue = alignment;
    update();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    Outer = bevel;
    Realign();
    update();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
    Inner = bevel;
    Realign();
    update();
}

void TPanel::SetBevelWidth(int width) {
    BevelSize = std::max(width, 1);
    Realign();
    update();
}

void TPanel::SetBorderWidth(int width) {
    Border = std::max(width, 0);
    Realign();
    update();
}

void TPanel::SetFont(const TFont& font) {
    TWinControl::SetFont(font);
    update();
}

void TPanel::SetColor(TColor color) {
    TWinControl::SetColor(color);
    setAutoFillBackground(false);
    update();
}

int TPanel::Inset() const {
    return Border + (Outer != bvNone ? BevelSize : 0) + (Inner != bvNone ? BevelSize : 0);
}

QRect TPanel::AlignRect() const {
    const int inset = Inset();
    return QRect(inset, inset, std::max(width() - 2 * inset, 0), std::max(height() - 2 * inset, 0));
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect rect = this->rect();
    painter.fillRect(rect, ColorToQColor(Color()));
    DrawBevel(painter, rect, Outer, BevelSize);
    rect.adjust(Border, Border, -Border, -Border);
    DrawBevel(painter, rect, Inner, BevelSize);
    if (CaptionText.empty())
        return;
    // The caption's line is centred vertically in the rectangle inside the
    // bevels, and aligned in it horizontally.
    painter.setFont(font());
    painter.setPen(ColorToQColor(Font().Color));
    const QFontMetrics metrics(font());
    const QString text = StripAccelerators(Q(CaptionText));
    const int textWidth = metrics.horizontalAdvance(text);
    const int top = (rect.y() + rect.y() + rect.height() - FontCellHeight(Font())) / 2;
    const int left = AlignmentValue == taLeftJustify ? rect.x()
                     : AlignmentValue == taRightJustify
                         ? rect.x() + rect.width() - textWidth
                         : (rect.x() + rect.x() + rect.width() - textWidth) / 2;
    painter.setClipRect(rect);
    painter.drawText(left, top + FontBaseline(Font()), text);
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TWinControl* parent)
    : QWidget(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setAutoFillBackground(false);
    setMouseTracking(true);
}

void TImage::SetPicture(const QImage& picture, bool fromJpeg) {
    PictureImage = picture;
    PictureIsJpeg = fromJpeg;
    PictureChanged();
}

void TImage::ClearPicture() {
    SetPicture(QImage());
}

void TImage::LoadFromFile(const std::string& path) {
    QImage picture = LoadPictureFile(path);
    const QString suffix = Q(path).section('.', -1).toLower();
    SetPicture(picture, suffix == "jpg" || suffix == "jpeg");
}

void TImage::SetAutoSize(bool autoSize) {
    AutoSizeFlag = autoSize;
    PictureChanged();
}

void TImage::SetTransparent(bool transparent) {
    TransparentFlag = transparent;
    PictureChanged();
}

void TImage::PictureChanged() {
    Shown = PictureImage;
    if (TransparentFlag && !PictureIsJpeg && !PictureImage.isNull()) {
        // The bottom-left pixel's colour is the transparent one.
        const QRgb key = PictureImage.pixel(0, PictureImage.height() - 1);
        Shown = PictureImage.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < Shown.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(Shown.scanLine(y));
            for (int x = 0; x < Shown.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                    line[x] = 0;
        }
    }
    if (AutoSizeFlag && !PictureImage.isNull())
        SetBounds(Left(), Top(), PictureImage.width(), PictureImage.height());
    update();
}

QRect TImage::PictureRect() const {
    if (PictureImage.isNull())
        return {};
    const int pw = PictureImage.width();
    const int ph = PictureImage.height();
    if (Stretch) {
        if (!Proportional)
            return rect();
        QSize size(pw, ph);
        size.scale(this->size(), Qt::KeepAspectRatio);
        if (!Center)
            return QRect(QPoint(0, 0), size);
        return QRect((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                     size.height());
    }
    if (Center)
        return QRect((width() - pw) / 2, (height() - ph) / 2, pw, ph);
    return QRect(0, 0, pw, ph);
}

void TImage::paintEvent(QPaintEvent*) {
    if (Shown.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(PictureRect(), Shown);
}

// ---------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TWinControl* parent)
    : QWidget(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setAutoFillBackground(false);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TPaintBox::~TPaintBox() = default;

void TPaintBox::EnsureSurface() {
    const QSize size(std::max(width(), 1), std::max(height(), 1));
    if (SurfaceCanvas && SurfaceImage.size() == size)
        return;
    QImage surface(size, QImage::Format_RGB32);
    surface.fill(parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                : ColorToQColor(clBtnFace));
    if (SurfaceCanvas) {
        SurfaceCanvas->EndPaint();
        QPainter copy(&surface);
        copy.drawImage(0, 0, SurfaceImage);
    }
    SurfaceImage = surface;
    if (!SurfaceCanvas)
        SurfaceCanvas = std::make_unique<TCanvas>(&SurfaceImage);
}

TCanvas* TPaintBox::Canvas() {
    EnsureSurface();
    update(); // what is drawn now shows at the next paint
    return SurfaceCanvas.get();
}

void TPaintBox::Invalidate() {
    PaintAsked = true;
    update();
}

void TPaintBox::RunPaint() {
    EnsureSurface();
    PaintAsked = false;
    if (OnPaint && !Painting) {
        Painting = true;
        SafeCall([this] { OnPaint(*SurfaceCanvas); });
        Painting = false;
    }
    SurfaceCanvas->EndPaint();
}

void TPaintBox::Repaint() {
    RunPaint();
    update();
}

void TPaintBox::paintEvent(QPaintEvent*) {
    // The surface is what the screen shows: OnPaint runs on it only when
    // the box was invalidated, resized or shown, so that what a handler drew
    // stays until then.
    if (PaintAsked)
        RunPaint();
    SurfaceCanvas->EndPaint();
    QPainter painter(this);
    painter.drawImage(0, 0, SurfaceImage);
}

void TPaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    EnsureSurface();
    PaintAsked = true;
}

void TPaintBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PaintAsked = true;
}

// ---------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(TWinControl* parent)
    : QGroupBox(parent ? parent->Container() : nullptr), TWinControl(this, parent) {
    Items.OnChange = [this] { Rebuild(); };
}

std::string TRadioGroup::Caption() const {
    return title().toStdString();
}
void TRadioGroup::SetCaption(const std::string& caption) {
    setTitle(Q(caption));
}

QRadioButton* TRadioGroup::Button(int index) const {
    return index >= 0 && index < static_cast<int>(Buttons.size())
               ? Buttons[static_cast<size_t>(index)]
               : nullptr;
}

QRect TRadioGroup::AlignRect() const {
    const int text = QFontMetrics(font()).height();
    return QRect(2, text + 2, std::max(width() - 4, 0), std::max(height() - text - 4, 0));
}

static void CheckOnly(const std::vector<QRadioButton*>& buttons, int index) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        QRadioButton* button = buttons[i];
        const bool on = static_cast<int>(i) == index;
        if (button->isChecked() == on)
            continue;
        button->setAutoExclusive(false);
        button->setChecked(on);
        button->setAutoExclusive(true);
    }
}

void TRadioGroup::SetItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(Buttons.size()) - 1);
    if (index == Index)
        return;
    Index = index;
    CheckOnly(Buttons, Index);
    if (Index >= 0)
        Click();
}

void TRadioGroup::SetColumns(int columns) {
    ColumnCount = std::clamp(columns, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::SetFont(const TFont& font) {
    TWinControl::SetFont(font);
    ArrangeButtons();
}

void TRadioGroup::Rebuild() {
    for (QRadioButton* button : Buttons)
        delete button;
    Buttons.clear();
    for (int i = 0; i < Items.Count(); ++i) {
        auto* button = new QRadioButton(Q(Items[i]), this);
        connect(button, &QRadioButton::clicked, this, [this, i] { ButtonClicked(i); });
        button->setVisible(true);
        Buttons.push_back(button);
    }
    if (Index >= Items.Count())
        Index = Items.Count() - 1;
    CheckOnly(Buttons, Index);
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (Buttons.empty())
        return;
    const int count = static_cast<int>(Buttons.size());
    const int perColumn = (count + ColumnCount - 1) / ColumnCount;
    const int text = QFontMetrics(font()).height();
    const int buttonWidth = (width() - 10) / ColumnCount;
    const int free = height() - text - 5;
    const int buttonHeight = free / perColumn;
    const int topMargin = text + 1 + (free % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        const int left = (i / perColumn) * buttonWidth + 8;
        Buttons[static_cast<size_t>(i)]->setGeometry(
            left, (i % perColumn) * buttonHeight + topMargin, std::max(buttonWidth, 0),
            std::max(buttonHeight, 0));
    }
}

void TRadioGroup::ButtonClicked(int index) {
    if (index == Index)
        return; // the item already chosen: nothing changes
    Index = index;
    CheckOnly(Buttons, Index);
    SafeCall([this] { Click(); });
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeButtons();
}

void TRadioGroup::BoundsChanged() {
    TWinControl::BoundsChanged();
    ArrangeButtons();
}

// ---------------------------------------------------------------------------
// TColorBox

namespace {
struct NamedColor {
    TColor Color;
    const char* Name;
};
const NamedColor StandardColors[] = {
    {clBlack, "Noir"},    {clMaroon, "Marron"},   {clGreen, "Vert"},       {clOlive, "Olive"},
    {clNavy, "Marine"},   {clPurple, "Pourpre"},  {clTeal, "Sarcelle"},    {clGray, "Gris"},
    {clSilver, "Argent"}, {clRed, "Rouge"},       {clLime, "Citron vert"}, {clYellow, "Jaune"},
    {clBlue, "Bleu"},     {clFuchsia, "Fuchsia"}, {clAqua, "Cyan"},        {clWhite, "Blanc"},
};

QIcon Swatch(TColor color) {
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.fillRect(1, 1, 14, 10, ColorToQColor(color));
    return QIcon(QPixmap::fromImage(image));
}
} // namespace

TColorBox::TColorBox(TWinControl* parent)
    : QComboBox(parent ? parent->Container() : nullptr), TControl(this, parent) {
    for (const NamedColor& entry : StandardColors)
        addItem(Swatch(entry.Color), QString::fromUtf8(entry.Name),
                QVariant::fromValue(entry.Color));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, [this](int) { SafeCall(OnChange); });
}

TColor TColorBox::Selected() const {
    return currentIndex() < 0 ? clBlack : currentData().value<TColor>();
}

void TColorBox::SetSelected(TColor color) {
    int index = findData(QVariant::fromValue(color));
    if (index < 0) {
        addItem(Swatch(color), "Personnalisée", QVariant::fromValue(color));
        index = count() - 1;
    }
    setCurrentIndex(index);
}

} // namespace vcl
