// Pictures, paint boxes, labels and panels: what the user sees.
#include "ScriptedDialogsFixture.h"
#include "gui/Canvas.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

#include <QFontInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

using namespace vcl;

namespace {

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitFonts();
        Form.SetClientSize(400, 300);
    }
    // Files in a folder of this test's own, so that runs side by side never meet.
    QString Temp(const char* name) { return Folder.filePath(name); }
    QTemporaryDir Folder;
    TForm Form;
};

TEST_F(PicturesTest, ArialIsLiberationSansWithWholePixelWidths) {
    TFont font;
    font.Name = "Arial";
    font.Height = -13;
    font.Style = fsBold;
    const QFont qfont = ToQFont(font);
    EXPECT_EQ(QFontInfo(qfont).family().toStdString(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(qfont).pixelSize(), 13);
    EXPECT_TRUE(QFontInfo(qfont).bold());
    EXPECT_EQ(qfont.hintingPreference(), QFont::PreferFullHinting);
}

TEST_F(PicturesTest, ImagesLoadBmpAndJpegAndReportFailuresInFrench) {
    QImage source(20, 10, QImage::Format_RGB32);
    source.fill(QColor(0, 0, 255));
    source.setPixel(0, 9, qRgb(255, 0, 255)); // bottom left: the transparent colour
    source.setPixel(5, 5, qRgb(255, 0, 255));
    ASSERT_TRUE(source.save(Temp("kestrova-gui-test.bmp"), "BMP"));
    ASSERT_TRUE(source.save(Temp("kestrova-gui-test.jpg"), "JPEG", 95));

    auto* image = new TImage(&Form);
    image->SetBounds(0, 0, 50, 50);
    image->LoadFromFile(Temp("kestrova-gui-test.bmp").toStdString());
    EXPECT_EQ(image->Picture().size(), QSize(20, 10));
    image->SetTransparent(true);
    image->Center = true;
    EXPECT_EQ(image->PictureRect(), QRect(15, 20, 20, 10));
    const QImage shown = image->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(16, 21)), QColor(0, 0, 255));
    image->LoadFromFile(Temp("kestrova-gui-test.jpg").toStdString());
    const QColor jpegPixel(image->Picture().pixel(10, 2));
    EXPECT_GT(jpegPixel.blue(), 230);
    EXPECT_LT(jpegPixel.red(), 25);

    std::ofstream(Temp("kestrova-gui-bad.bmp").toStdString()) << "not a bitmap";
    std::ofstream(Temp("kestrova-gui-bad.jpg").toStdString()) << "\xFF\xD8\xFF\xE0 broken";
    struct Case {
        QString Path;
        std::string Message;
    };
    const std::string missing = Temp("kestrova-absent.jpg").toStdString();
    for (const Case& c :
         {Case{Temp("kestrova-absent.jpg"), "Impossible d'ouvrir le fichier \"" + missing +
                                                "\". Le fichier spécifié est introuvable"},
          Case{Temp("kestrova-gui-bad.bmp"), "Image bitmap incorrecte"},
          Case{Folder.path(), "Impossible d'ouvrir le fichier \"" + Folder.path().toStdString() +
                                  "\". Accès refusé"}}) {
        try {
            image->LoadFromFile(c.Path.toStdString());
            ADD_FAILURE() << "no error for " << c.Path.toStdString();
        } catch (const EInvalidGraphic& error) {
            EXPECT_EQ(error.what(), c.Message);
        }
    }
    try {
        image->LoadFromFile(Temp("kestrova-gui-bad.jpg").toStdString());
        ADD_FAILURE() << "no error for a damaged JPEG";
    } catch (const EInvalidGraphic& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Erreur JPEG #", 0), 0u) << error.what();
    }
    EXPECT_GT(QColor(image->Picture().pixel(10, 2)).blue(), 230); // the last good picture stays
}

TEST_F(PicturesTest, PaintBoxMouseAndCanvas) {
    auto* box = new TPaintBox(&Form);
    box->SetBounds(10, 10, 200, 100);
    int paints = 0;
    box->OnPaint = [&](TCanvas& canvas) {
        ++paints;
        canvas.Brush.Color = clBlack;
        canvas.FillRect(Rect(0, 0, 200, 100));
    };
    struct Down {
        TMouseButton Button;
        TShiftState Shift;
        int X, Y;
    };
    std::vector<Down> downs;
    box->OnMouseDown = [&](TMouseButton b, TShiftState s, int x, int y) {
        downs.push_back({b, s, x, y});
    };
    int parentDowns = 0;
    Form.OnKeyDown = nullptr;
    auto* under = new TPanel(&Form); // a control under the box gets nothing
    under->SetBounds(0, 0, 300, 200);
    under->SendToBack();
    under->OnMouseDown = [&](TMouseButton, TShiftState, int, int) { ++parentDowns; };
    Form.show();

    QTest::mouseClick(box, Qt::LeftButton, Qt::ControlModifier, QPoint(120, 40));
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 6));
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].Button, mbLeft);
    EXPECT_EQ(downs[0].Shift, TShiftState(ssCtrl | ssLeft));
    EXPECT_EQ(downs[0].X, 120);
    EXPECT_EQ(downs[0].Y, 40);
    EXPECT_EQ(downs[1].Button, mbRight);
    EXPECT_EQ(downs[1].Shift & ssCtrl, 0u);
    EXPECT_EQ(parentDowns, 0);

    // A line drawn from a handler stays until painted over.
    box->Repaint();
    TCanvas* canvas = box->Canvas();
    canvas->Pen.Color = clWhite;
    canvas->MoveTo(50, 0);
    canvas->LineTo(50, 100);
    QImage shown = box->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(50, 30)), QColor(Qt::white));
    EXPECT_EQ(QColor(shown.pixel(51, 30)), QColor(Qt::black));
    EXPECT_GE(paints, 1);
}

TEST_F(PicturesTest, PaintBoxDrawingFromAHandlerStaysUntilTheBoxIsInvalidated) {
    auto* box = new TPaintBox(&Form);
    box->SetBounds(10, 10, 200, 100);
    int paints = 0;
    box->OnPaint = [&](TCanvas& canvas) {
        ++paints;
        canvas.Brush.Color = clBlack;
        canvas.FillRect(Rect(0, 0, 200, 100));
    };
    Form.show();
    QCoreApplication::processEvents();
    auto shownAt = [&](int x, int y) {
        QCoreApplication::processEvents(); // the paint events that are due
        return QColor(box->grab().toImage().pixel(x, y));
    };
    ASSERT_EQ(shownAt(50, 30), QColor(Qt::black));
    const int before = paints;

    // Drawn from a mouse handler, not from OnPaint: the paint that shows it
    // does not paint over it.
    TCanvas* canvas = box->Canvas();
    canvas->Pen.Color = clWhite;
    canvas->MoveTo(50, 0);
    canvas->LineTo(50, 100);
    EXPECT_EQ(shownAt(50, 30), QColor(Qt::white));
    EXPECT_EQ(paints, before);

    // An invalidation repaints; so does one asked before the drawing.
    box->Invalidate();
    EXPECT_EQ(shownAt(50, 30), QColor(Qt::black));
    box->Invalidate();
    box->Canvas()->SetPixels(60, 30, clWhite);
    EXPECT_EQ(shownAt(60, 30), QColor(Qt::black));
    EXPECT_GE(paints, before + 2);
}

TEST_F(PicturesTest, LabelsAndPanelsDrawTheirCaptions) {
    Form.SetColor(RGB(0, 0, 255));
    auto* label = new TLabel(&Form);
    TFont font;
    font.Name = "Arial";
    font.Height = 13;
    font.Color = clWhite;
    font.Style = fsBold;
    label->SetFont(font);
    label->SetTransparent(true);
    label->SetAlignment(taRightJustify);
    label->SetCaption("Chargement en cours...");
    label->SetLeft(390 - label->Width());
    label->SetTop(180);
    const int right = label->Left() + label->Width();
    EXPECT_EQ(label->Height(), 13);
    label->SetCaption("Chargement..");
    EXPECT_EQ(label->Left() + label->Width(), right); // keeps its right edge
    EXPECT_EQ(label->ShownText(), "Chargement..");
    label->SetCaption("&Voie");
    EXPECT_EQ(label->ShownText(), "Voie");

    auto* panel = new TPanel(&Form);
    panel->SetBounds(10, 10, 200, 60);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clBlack);
    TFont big;
    big.Name = "Arial";
    big.Height = 40;
    big.Color = RGB(0, 255, 0);
    big.Style = fsBold;
    panel->SetFont(big);
    panel->SetCaption("21,5 °C");
    const QImage shown = panel->grab().toImage();
    int green = 0, other = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c(shown.pixel(x, y));
            if (c == QColor(0, 255, 0))
                ++green;
            else if (c.red() > 10 || c.blue() > 10)
                ++other; // only the background and the text's green
        }
    EXPECT_GT(green, 200);
    EXPECT_EQ(other, 0);
    // The text is centred: as much black left of it as right of it (within a pixel).
    int first = shown.width(), last = -1;
    for (int x = 0; x < shown.width(); ++x)
        for (int y = 0; y < shown.height(); ++y)
            if (QColor(shown.pixel(x, y)).green() > 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_LE(std::abs(first - (shown.width() - 1 - last)), 3);
}

} // namespace
