// Clipboard round trips and printing a page to PDF.
#include "gui/Canvas.h"
#include "gui/Clipbrd.h"
#include "gui/Printers.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vcl;

namespace {

TEST(ClipboardTest, TextAndPicturesRoundTrip) {
    const std::string table = "n°\tdate (ms)\tTempérature (°C)\t\r\n1\t0,0\t21,5\t\r\n";
    Clipboard()->SetAsText(table);
    EXPECT_TRUE(Clipboard()->HasText());
    EXPECT_EQ(Clipboard()->AsText(), table);

    TBitmap bitmap(40, 30);
    bitmap.Canvas().Brush.Color = RGB(0, 100, 0);
    bitmap.Canvas().FillRect(Rect(10, 5, 30, 25));
    Clipboard()->Assign(bitmap);
    EXPECT_TRUE(Clipboard()->HasPicture());
    const QImage pasted = Clipboard()->Picture();
    ASSERT_EQ(pasted.size(), QSize(40, 30));
    EXPECT_EQ(RgbToColor(pasted.pixel(10, 5)), RGB(0, 100, 0));
    EXPECT_EQ(RgbToColor(pasted.pixel(30, 25)), clWhite);
}

TEST(PrinterTest, APageWithACanvasGoesToPdf) {
    QTemporaryDir folder;
    const QString path = folder.filePath("print-test.pdf");
    TPrinter printer;
    printer.SetOutputFile(path.toStdString());
    printer.SetOrientation(poLandscape);
    printer.Title = "Kestrova";
    EXPECT_EQ(printer.Resolution(), 300);
    EXPECT_GT(printer.PageWidth(), printer.PageHeight());

    printer.BeginDoc();
    ASSERT_NE(printer.Canvas(), nullptr);
    TCanvas& canvas = *printer.Canvas();
    const int w = printer.PageWidth(), h = printer.PageHeight();
    canvas.Brush.Color = clBlack;
    canvas.FillRect(Rect(0, 0, w / 2, h / 2)); // the top-left quarter black
    printer.NewPage();
    EXPECT_EQ(printer.PageNumber(), 2);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
    file.close();

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm missing";
    const QString prefix = folder.filePath("print-test");
    ASSERT_EQ(QProcess::execute(pdftoppm, {"-r", "20", "-f", "1", "-l", "1", "-png", "-singlefile",
                                           path, prefix}),
              0);
    QImage page(prefix + ".png");
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    // Inside the printable area's top-left quarter: black; bottom right: white.
    const QRgb dark = page.pixel(page.width() / 4, page.height() / 4);
    const QRgb light = page.pixel(page.width() * 3 / 4, page.height() * 3 / 4);
    EXPECT_LT(qGray(dark), 40);
    EXPECT_GT(qGray(light), 215);
}

} // namespace
