// Panels, pictures, paint boxes, radio groups and colour boxes.
#pragma once

#include "gui/Controls.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>

#include <memory>

class QButtonGroup;
class QRadioButton;

namespace vcl {

class TCanvas;
class TBitmap;
class TRadioButton;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A panel: filled with Color, bevels, its caption centred (Alignment) in its
// font. Children are laid out inside the bevels and BorderWidth.
class TPanel : public QFrame, public TWinControl {
    Q_OBJECT
public:
    explicit TPanel(TWinControl* parent);
    std::string Caption() const { return CaptionText; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return AlignmentValue; }
    void SetAlignment(TAlignment alignment);
    TBevelCut BevelOuter() const { return Outer; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return Inner; }
    void SetBevelInner(TBevelCut bevel);
    int BevelWidth() const { return BevelSize; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return Border; }
    void SetBorderWidth(int width);
    void SetFont(const TFont& font) override;
    void SetColor(TColor color) override;
    QRect AlignRect() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool OwnsMouse() const override { return true; }

private:
    int Inset() const;
    std::string CaptionText;
    TAlignment AlignmentValue = taCenter;
    TBevelCut Outer = bvRaised;
    TBevelCut Inner = bvNone;
    int BevelSize = 1;
    int Border = 0;
};

// Shows a picture. Without a picture it draws nothing (a click zone over
// another picture). Stretch scales the picture to the control (Proportional
// keeps its aspect), Center centres it, otherwise it sits at the top left;
// AutoSize sizes the control to the picture; Transparent leaves out the
// pixels of the picture's bottom-left colour.
class TImage : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TImage(TWinControl* parent);
    const QImage& Picture() const { return PictureImage; }
    // fromJpeg: a JPEG picture is never transparent.
    void SetPicture(const QImage& picture, bool fromJpeg = false);
    void ClearPicture();
    // JPEG or BMP; throws EInvalidGraphic and keeps the previous picture.
    void LoadFromFile(const std::string& path);
    bool Stretch = false;
    bool Proportional = false;
    bool Center = false;
    bool AutoSize() const { return AutoSizeFlag; }
    void SetAutoSize(bool autoSize);
    bool Transparent() const { return TransparentFlag; }
    void SetTransparent(bool transparent);
    // Where the picture lands in the control.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool OwnsMouse() const override { return true; }

private:
    void PictureChanged();
    QImage PictureImage;
    QImage Shown; // with the transparent colour masked out
    bool AutoSizeFlag = false;
    bool TransparentFlag = false;
    bool PictureIsJpeg = false;
};

// A paint box keeps what is drawn on it: Canvas() draws on a surface the size
// of the box, which each paint shows, after OnPaint ran on it when the box was
// invalidated, resized or shown since. Drawing from any handler (not only
// OnPaint) therefore stays on the screen until drawn over, and grab() shows
// it.
class TPaintBox : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TPaintBox(TWinControl* parent);
    ~TPaintBox() override;
    // The canvas on the box's surface (valid while the box lives; resized
    // with it). What is drawn on it shows at the next paint as it is, unless
    // the box was invalidated: then OnPaint draws over it first.
    TCanvas* Canvas();
    // The surface as it stands (what the screen shows after the next paint).
    const QImage& Surface() const { return SurfaceImage; }
    // Runs OnPaint on the surface now and shows the result.
    void Repaint();
    // OnPaint runs at the next paint.
    void Invalidate() override;

    std::function<void(TCanvas& canvas)> OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool OwnsMouse() const override { return true; }

private:
    void EnsureSurface();
    void RunPaint();
    QImage SurfaceImage;
    std::unique_ptr<TCanvas> SurfaceCanvas;
    bool Painting = false;
    bool PaintAsked = true; // invalidated, resized or shown since the last OnPaint
};

// Setting ItemIndex from code to a new item (>= 0) checks it and runs
// OnClick as a user's click does; -1 unchecks all and runs nothing; the same
// value runs nothing. Clearing Items leaves ItemIndex -1.
class TRadioGroup : public QGroupBox, public TWinControl {
    Q_OBJECT
public:
    explicit TRadioGroup(TWinControl* parent);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    TStrings Items;
    int ItemIndex() const { return Index; }
    void SetItemIndex(int index);
    int Columns() const { return ColumnCount; }
    void SetColumns(int columns);
    void SetFont(const TFont& font) override;
    // The radio button of item index (tests, focus).
    QRadioButton* Button(int index) const;
    QRect AlignRect() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void BoundsChanged() override;

private:
    void Rebuild();
    void ArrangeButtons();
    void ButtonClicked(int index);
    std::vector<QRadioButton*> Buttons;
    int Index = -1;
    int ColumnCount = 1;
};

// A list of the 16 standard colours, each with its swatch and French name.
class TColorBox : public QComboBox, public TControl {
    Q_OBJECT
public:
    explicit TColorBox(TWinControl* parent);
    TColor Selected() const;
    // A colour not in the list is added as "Personnalisée".
    void SetSelected(TColor color);
    TNotifyEvent OnChange;
};

} // namespace vcl
