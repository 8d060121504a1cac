// Printing the graph: the "Imprimer" submenu, the pages printed to PDF
// through the real drawing path and looked at as pixels, the settings during
// the print and their restore, a cancelled dialog and a failed print.
#include "WorkbenchFixture.h"

#include "graph/PrintPage.h"
#include "gui/Printers.h"
#include "model/MeasurementFile.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

namespace wbtest {
namespace {

// The colour of each recorded series' line: none of them is a colour of the
// frame.
constexpr TColor SeriesColor[3] = {0x00FF0000, 0x000000FF, 0x0000C000};
// The user's screen settings, which a print must give back.
constexpr TColor ScreenBackground = 0x0080FFFF;
constexpr int32_t ScreenGridWidth = 3;
// Printer pixels per inch and the raster of the pages looked at.
constexpr int PrinterDpi = 300;
constexpr int RasterDpi = 60;

// Three recorded series, rising lines at three heights, 20 points 50 ms apart.
workbench::MeasurementSet ThreeSeries() {
    workbench::MeasurementSet record;
    workbench::PresetMeasurementSet(record);
    record.SeriesCount = record.ShownSeries = 3;
    record.DeltaTIndex = 3;
    for (int s = 0; s < 3; ++s) {
        record.PointCount[s] = 20;
        workbench::SetShortString(record.SeriesUnit[s][0], "V");
        for (int k = 0; k < 20; ++k) {
            record.PointTime[s][k] = 50.0f * static_cast<float>(k);
            record.PointValue[s][0][k] = -6.0f + 4.0f * static_cast<float>(s) + 0.2f * k;
        }
    }
    return record;
}

class PrintTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureB);
        LoadRecord(ThreeSeries());
        ASSERT_EQ(MeasurementRecord.SeriesCount, 3);
        // Every series as a plain line in its own colour.
        for (int s = 0; s < 3; ++s) {
            Form1->Style.CurveColor[s][0] = SeriesColor[s];
            Form1->CurveBoxes[s][0][0]->SetChecked(false);
            Form1->CurveBoxes[s][0][1]->SetChecked(true);
        }
        Form1->Style.BackgroundColor = ScreenBackground;
        Form1->Style.GridWidth = ScreenGridWidth;
        Form1->PaintBox1->Repaint();
        ProcessMessages();
        Guard.Dialogs.Clear();
        Pdf = InFolder("graphe.pdf");
        Printer()->SetOutputFile(Pdf.string());
        Printer()->QtPrinter().setResolution(PrinterDpi);
    }

    void TearDown() override {
        Printer()->SetOutputFile({});
        Printer()->QtPrinter().setResolution(PrinterDpi);
        WorkbenchTest::TearDown();
    }

    // The user's choice of layout in the "Imprimer" submenu, the print
    // dialog confirmed.
    void PrintFromMenu(int layout) {
        Guard.Dialogs.AnswerPrint(true);
        Guard.Dialogs.Answer(platform::ModalResult::Ok, "Impression terminée");
        Form1->PopupMenu1->OnPopup();
        SafeCall([&] { Form1->Impression1->Items(layout)->Click(); });
    }

    // The printed page as pixels, the whole sheet.
    QImage Page() const {
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftoppm.isEmpty())
            return {};
        const QString prefix = QString::fromStdString(InFolder("page").string());
        const int status =
            QProcess::execute(pdftoppm, {"-r", QString::number(RasterDpi), "-aa", "no", "-aaVector",
                                         "no", "-f", "1", "-l", "1", "-png", "-singlefile",
                                         QString::fromStdString(Pdf.string()), prefix});
        if (status != 0)
            return {};
        return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
    }

    // A printer pixel of the printable page as a pixel of the raster.
    static QPoint OnRaster(int x, int y) {
        const QRect printable = Printer()->QtPrinter().pageLayout().paintRectPixels(PrinterDpi);
        return {(x + printable.left()) * RasterDpi / PrinterDpi,
                (y + printable.top()) * RasterDpi / PrinterDpi};
    }

    std::filesystem::path Pdf;
};

// How many pixels of each colour lie in the raster rectangle of a copy.
int CountIn(const QImage& page, const QRect& area, TColor color) {
    int count = 0;
    for (int y = std::max(0, area.top()); y <= std::min(page.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(page.width() - 1, area.right()); ++x)
            if (RgbToColor(page.pixel(x, y)) == color)
                ++count;
    return count;
}

TEST_F(PrintTest, TheSubmenuListsTheSixLayoutsInOrder) {
    EXPECT_EQ(Form1->Impression1->Caption(), "Imprimer");
    ASSERT_EQ(Form1->Impression1->Count(), 6);
    const char* captions[] = {"1 sur 1/2 page portrait", "2 par page portrait",
                              "6 par page portrait",     "1 par page portrait",
                              "4 par page paysage",      "1 par page paysage"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Form1->Impression1->Items(i)->Caption(), captions[i]);
}

class PrintedPageTest : public PrintTest, public ::testing::WithParamInterface<int> {};

// Each layout's page: its copies where the plan puts them, each with all
// three series; a white background (the screen's colour nowhere); nothing
// else on the sheet but the black cut marks in the margins and gaps.
TEST_P(PrintedPageTest, CopiesInPlaceOnWhiteWithBlackMarksInTheGaps) {
    const int layout = GetParam();
    PrintFromMenu(layout);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text, "Impression terminée");
    EXPECT_EQ(Messages()[0].Type, platform::MsgType::Information);

    const QImage page = Page();
    if (page.isNull())
        GTEST_SKIP() << "pdftoppm missing";
    EXPECT_EQ(page.width() > page.height(), workbench::PrintLayoutLandscape(layout));
    const workbench::PrintPagePlan plan =
        workbench::PlanPrintPage(layout, Printer()->PageWidth(), Printer()->PageHeight());
    EXPECT_EQ(plan.Margin, Printer()->PageWidth() / 20);

    std::vector<QRect> copies;
    for (const workbench::PrintStep& step : plan.Steps)
        if (!step.CutMark) {
            const QPoint topLeft = OnRaster(step.X1, step.Y1);
            const QPoint bottomRight =
                OnRaster(step.X1 + plan.CopyWidth, step.Y1 + plan.CopyHeight);
            copies.push_back(QRect(topLeft, bottomRight).adjusted(-1, -1, 1, 1));
        }
    const size_t expectedCopies[] = {1, 2, 6, 1, 4, 1};
    ASSERT_EQ(copies.size(), expectedCopies[layout]);
    for (const QRect& copy : copies)
        for (const TColor color : SeriesColor)
            EXPECT_GT(CountIn(page, copy, color), 20)
                << "series colour " << std::hex << color << " in the copy at " << std::dec
                << copy.left() << "," << copy.top();
    EXPECT_EQ(CountIn(page, page.rect(), ScreenBackground), 0);

    // Marks: dark at their middle, in black.
    std::vector<QRect> marks;
    for (const workbench::PrintStep& step : plan.Steps)
        if (step.CutMark) {
            const QPoint a = OnRaster(step.X1, step.Y1);
            const QPoint b = OnRaster(step.X2, step.Y2);
            marks.push_back(QRect(a, b).normalized().adjusted(-1, -1, 1, 1));
            const QPoint middle = OnRaster((step.X1 + step.X2) / 2, (step.Y1 + step.Y2) / 2);
            bool dark = false;
            for (int d = -1; d <= 1; ++d) {
                const QPoint p = step.X1 == step.X2 ? middle + QPoint(d, 0) : middle + QPoint(0, d);
                if (page.rect().contains(p) && RgbToColor(page.pixel(p)) == clBlack)
                    dark = true;
            }
            EXPECT_TRUE(dark) << "mark at " << middle.x() << "," << middle.y();
        }
    const size_t expectedMarks[] = {0, 2, 10, 0, 6, 0};
    EXPECT_EQ(marks.size(), expectedMarks[layout]);

    // Nothing else: outside the copies and the marks the sheet is white (the
    // lower half of a half-page print among it).
    int stray = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QPoint p(x, y);
            if (qGray(page.pixel(p)) > 250)
                continue;
            const auto inside = [&](const QRect& r) { return r.contains(p); };
            if (std::none_of(copies.begin(), copies.end(), inside) &&
                std::none_of(marks.begin(), marks.end(), inside))
                ++stray;
        }
    EXPECT_EQ(stray, 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PrintedPageTest, ::testing::Range(0, 6));

// While the notice is shown the window still holds the print's settings:
// white background, grid width 1, the printer's line scale and the copy's
// size, and the hourglass cursor. Afterwards the user's settings, the cursor
// and the screen graph are back.
TEST_F(PrintTest, PrintSettingsHoldUntilTheNoticeThenTheScreenIsAsBefore) {
    struct Seen {
        TColor Background;
        int32_t GridWidth;
        int32_t LineScale;
        int32_t PlotWidth;
        bool Hourglass;
    };
    const int32_t screenLineScale = Form1->Graph.LineScale;
    const int32_t plotWidth = Form1->Graph.PlotWidth;
    const int32_t plotHeight = Form1->Graph.PlotHeight;
    ProcessMessages();
    const QImage before = Form1->PaintBox1->Surface().copy();

    for (const int dpi : {300, 600, 200}) {
        SCOPED_TRACE(dpi);
        Printer()->QtPrinter().setResolution(dpi);
        std::vector<Seen> seen;
        ObservingDialogs observer(Guard.Dialogs);
        observer.OnMessage = [&](const platform::MessageRequest&) {
            seen.push_back({Form1->Style.BackgroundColor, Form1->Style.GridWidth,
                            Form1->Graph.LineScale, Form1->Graph.PlotWidth,
                            QGuiApplication::overrideCursor() &&
                                QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor});
        };
        PrintFromMenu(3);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Background, clWhite);
        EXPECT_EQ(seen[0].GridWidth, 1);
        EXPECT_TRUE(seen[0].Hourglass);
        EXPECT_EQ(seen[0].LineScale, std::max(1, dpi / 144));
        EXPECT_EQ(
            seen[0].PlotWidth,
            workbench::PlanPrintPage(3, Printer()->PageWidth(), Printer()->PageHeight()).CopyWidth);

        EXPECT_EQ(Form1->Style.BackgroundColor, ScreenBackground);
        EXPECT_EQ(Form1->Style.GridWidth, ScreenGridWidth);
        EXPECT_EQ(Form1->Graph.LineScale, screenLineScale);
        EXPECT_EQ(Form1->Graph.PlotWidth, plotWidth);
        EXPECT_EQ(Form1->Graph.PlotHeight, plotHeight);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        ProcessMessages();
        EXPECT_TRUE(Form1->PaintBox1->Surface() == before);
        Guard.Dialogs.Clear();
    }
}

TEST_F(PrintTest, ACancelledDialogPrintsNothingAndChangesNothing) {
    const std::vector<char> record = RecordBytes();
    const int32_t printer = PrinterIndex;
    const QImage before = Form1->PaintBox1->Surface().copy();
    Guard.Dialogs.AnswerPrint(false);
    Form1->Impression1->Items(2)->Click();
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(std::filesystem::exists(Pdf));
    EXPECT_EQ(Form1->Style.BackgroundColor, ScreenBackground);
    EXPECT_EQ(Form1->Style.GridWidth, ScreenGridWidth);
    EXPECT_EQ(PrinterIndex, printer);
    EXPECT_EQ(RecordBytes(), record);
    ProcessMessages();
    EXPECT_TRUE(Form1->PaintBox1->Surface() == before);
}

// A printer that cannot start the document: the failure is reported once by
// the standard error box, no notice, the screen's settings are back.
TEST_F(PrintTest, AFailedPrintIsReportedOnceAndRestoresTheScreen) {
    const int32_t screenLineScale = Form1->Graph.LineScale;
    const int32_t plotWidth = Form1->Graph.PlotWidth;
    Printer()->SetOutputFile(Folder.path().toStdString()); // a folder: no file can be made
    Guard.Dialogs.AnswerPrint(true);
    Guard.Dialogs.Answer(platform::ModalResult::Ok);
    SafeCall([] { Form1->Impression1->Items(4)->Click(); });
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Type, platform::MsgType::Error);
    EXPECT_EQ(Messages()[0].Text.find("Impression terminée"), std::string::npos);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Form1->Style.BackgroundColor, ScreenBackground);
    EXPECT_EQ(Form1->Style.GridWidth, ScreenGridWidth);
    EXPECT_EQ(Form1->Graph.LineScale, screenLineScale);
    EXPECT_EQ(Form1->Graph.PlotWidth, plotWidth);

    // The next print works.
    Printer()->SetOutputFile(Pdf.string());
    PrintFromMenu(0);
    EXPECT_TRUE(std::filesystem::exists(Pdf));
}

} // namespace
} // namespace wbtest
