// The graph's mouse, as the user drives it: the values under the pointer in
// the status bar, the two period cursors and the period display on a sine,
// the manual line with its rubber line and slope label, and what the mouse
// does not do while a measurement runs or without a scale.
#include "WorkbenchFixture.h"

#include "graph/GraphScale.h"
#include "graph/Readouts.h"
#include "model/MeasurementFile.h"

#include <QMouseEvent>

#include <cmath>

namespace wbtest {
namespace {

constexpr TColor ManualLineColor = 0x00008000;
constexpr int SinePeriodMs = 200;

// Series 1: a sine of 5 V, 200 ms period, 95 points 5 ms apart. Series 2:
// three manual points (and the last block), "Tension" in V against
// "Intensité" in mA.
workbench::MeasurementSet SineAndManualPoints() {
    workbench::MeasurementSet record;
    workbench::PresetMeasurementSet(record);
    record.SeriesCount = record.ShownSeries = 2;
    record.DeltaTIndex = 3; // 5 ms
    for (int s = 0; s < 2; ++s) {
        SetVoltCurrentHeaders(record, s + 1);
        record.DisplayMax[s][1] = 40;
        record.DisplayMin[s][1] = -40;
    }
    record.PointCount[0] = 95;
    for (int k = 0; k < 95; ++k) {
        record.PointTime[0][k] = 5.0f * k;
        record.PointValue[0][0][k] =
            static_cast<float>(5 * std::sin(2 * M_PI * 5 * k / SinePeriodMs));
    }
    // The manual loop also keeps its last block in the series.
    record.PointCount[1] = 95;
    record.XYPointCount[1] = 3;
    for (int k = 0; k < 3; ++k) {
        record.ManualY2[1][k] = 10.0f * k; // mA
        record.ManualY1[1][k] = 1.0f * k;  // V
    }
    return record;
}

class GraphCursorsTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureA);
        Form1->Style.CurveColor[1][0] = ManualLineColor;
    }

    // The sine shown alone, as line and points.
    void ShowSine() {
        LoadRecord(SineAndManualPoints());
        Form1->BTS1->Click();
        ProcessMessages();
        ASSERT_TRUE(Form1->Graph.FrameValid);
    }

    // Series 2's manual points in the manual mode, selected.
    void ShowManualPoints() {
        LoadRecord(SineAndManualPoints());
        Form1->RGVoie->SetItemIndex(Form1->RGVoie->Items.IndexOf("man."));
        Form1->BTS2->Click();
        ProcessMessages();
        ASSERT_EQ(Form1->AcqMode, 4);
        ASSERT_TRUE(Form1->Graph.FrameValid);
    }

    static void Send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton,
                     Qt::MouseButtons held = Qt::NoButton,
                     Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QWidget* box = Form1->PaintBox1;
        QMouseEvent event(type, QPointF(at), box->mapToGlobal(QPointF(at)), button, held, keys);
        QCoreApplication::sendEvent(box, &event);
    }
    static void Move(QPoint at, Qt::MouseButtons held = Qt::NoButton) {
        Send(QEvent::MouseMove, at, Qt::NoButton, held);
    }
    static void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers keys = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, at, button, button, keys);
    }
    static void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        Send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
    static void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers keys = Qt::NoModifier) {
        Press(at, button, keys);
        Release(at, button);
    }
    static void CtrlClick(int x, Qt::MouseButton button = Qt::LeftButton) {
        Click(QPoint(x, 150), button, Qt::ControlModifier);
    }

    static std::string Status() { return Form1->StatusBar1->SimpleText(); }
    static TColor Shown(int x, int y) {
        ProcessMessages();
        return RgbToColor(Form1->PaintBox1->Surface().pixel(x, y));
    }
    // Black pixels of column x between rows top and bottom.
    static int BlackInColumn(int x, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            n += Shown(x, y) == clBlack;
        return n;
    }
    static int BlackInBox(int left, int top, int right, int bottom, int skipColumn = -1) {
        int n = 0;
        for (int x = left; x < right; ++x)
            if (x != skipColumn)
                n += BlackInColumn(x, top, bottom);
        return n;
    }
    // color on (x, y) or one of the 8 pixels around it.
    static bool Near(QPoint at, TColor color) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Shown(at.x() + dx, at.y() + dy) == color)
                    return true;
        return false;
    }
    static int X(double tMs) { return workbench::TimeToX(Form1->Graph, tMs); }
    static QPoint Manual(double mA, double volts) {
        return {workbench::ManualToX(Form1->Graph, mA), workbench::ManualToY(Form1->Graph, volts)};
    }
};

// ------------------------------------------------------------- readouts

TEST_F(GraphCursorsTest, StatusBarShowsTheValuesUnderThePointer) {
    ShowSine();
    const int w = Form1->PaintBox1->Width();
    const int h = Form1->PaintBox1->Height();
    const QPoint inside(X(100), h / 2);
    Move(inside);
    const std::string text = Status();
    EXPECT_EQ(text, workbench::PointerReadoutText(Form1->Graph, MeasurementRecord, 0, 1, inside.x(),
                                                  inside.y(), w, h, 0));
    EXPECT_EQ(text.rfind("Tension = ", 0), 0u) << text;
    EXPECT_NE(text.find(" V  ||  durée = "), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 3), " ms");

    // The box's border pixels read nothing; the first ones inside do.
    const struct {
        QPoint At;
        bool Reads;
    } points[] = {{{0, h / 2}, false},    {{w / 2, 0}, false},   {{w, h / 2}, false},
                  {{w / 2, h}, false},    {{1, h / 2}, true},    {{w / 2, 1}, true},
                  {{w - 1, h / 2}, true}, {{w / 2, h - 1}, true}};
    for (const auto& p : points) {
        Move(inside);
        Move(p.At);
        EXPECT_EQ(!Status().empty(), p.Reads) << p.At.x() << ", " << p.At.y();
    }

    // The manual mode shows no values.
    Form1->RGVoie->SetItemIndex(Form1->RGVoie->Items.IndexOf("man."));
    Move(inside);
    EXPECT_EQ(Status(), "");
}

// ------------------------------------------------------- period cursors

TEST_F(GraphCursorsTest, TwoCtrlClicksOnASineShowThePeriod) {
    ShowSine();
    const int h = Form1->PaintBox1->Height();
    const int mb = Form1->Graph.MarginBottom;
    const int x1 = X(50);
    const int x2 = X(50 + SinePeriodMs);

    CtrlClick(x1);
    EXPECT_EQ(Form1->Graph.CursorPending1, 0);
    EXPECT_EQ(Form1->Graph.CursorPending2, 1);
    EXPECT_GE(BlackInColumn(x1, 0, h), h - 40); // one line over the whole height

    CtrlClick(x2);
    EXPECT_EQ(Form1->Graph.CursorPending2, 0);
    EXPECT_NEAR(Form1->Graph.CursorT2 - Form1->Graph.CursorT1, SinePeriodMs,
                1 / Form1->Graph.ScaleX);
    EXPECT_GE(BlackInColumn(x2, 0, h), h - 40);
    // The arrow's shaft, and T and f written under it between the cursors.
    for (int x = x1 + 8; x < x2 - 8; x += 5)
        EXPECT_EQ(Shown(x, mb + 4), clBlack) << x;
    const int th = Form1->GraphBitmap->Canvas().TextHeight("T");
    EXPECT_GT(BlackInBox(x1 + 1, mb + 8, x2, mb + 8 + th), 20);
    EXPECT_GT(BlackInBox(x1 + 1, mb + 8 + th, x2, mb + 8 + 2 * th), 20);

    // A third Ctrl-click changes nothing.
    const int x3 = X(400);
    CtrlClick(x3);
    EXPECT_LT(BlackInColumn(x3, mb + 10, h - mb - 10), 10);
    EXPECT_NEAR(Form1->Graph.CursorT1, 50, 1 / Form1->Graph.ScaleX);

    // Redrawn with the graph; a plain click takes them away.
    Form1->PaintBox1->Invalidate();
    EXPECT_GE(BlackInColumn(x2, mb, h - mb), h - 2 * mb - 10);
    Click(QPoint(x3, 150));
    EXPECT_EQ(Form1->Graph.CursorPending1, 1);
    EXPECT_EQ(Form1->Graph.CursorPending2, 1);
    EXPECT_LT(BlackInColumn(x2, mb + 10, h - mb - 10), 10);
}

TEST_F(GraphCursorsTest, CursorsAtOnePixelGiveAPeriodOfZeroAndNoFrequency) {
    ShowSine();
    const int mb = Form1->Graph.MarginBottom;
    const int th = Form1->GraphBitmap->Canvas().TextHeight("T");
    const int x = X(200);
    CtrlClick(x);
    CtrlClick(x);
    EXPECT_EQ(Form1->Graph.CursorPending2, 0);
    EXPECT_GT(BlackInBox(x - 60, mb + 8, x + 60, mb + 8 + th, x), 20); // "T = 0,0 ms"
    EXPECT_EQ(BlackInBox(x - 60, mb + 8 + th, x + 60, mb + 8 + 2 * th, x), 0);
    // The graph redraws them with T alone too (its T row is the f row of the
    // first display).
    Form1->PaintBox1->Invalidate();
    EXPECT_GT(BlackInBox(x - 60, mb + th, x + 60, mb + 2 * th, x), 20);
    EXPECT_EQ(BlackInBox(x - 60, mb + 2 * th, x + 60, mb + 3 * th, x), 0);
}

TEST_F(GraphCursorsTest, RightClicksAndOtherModes) {
    ShowSine();
    // Without Ctrl a right click neither clears nor places; with it, places.
    CtrlClick(X(50));
    Click(QPoint(X(300), 150), Qt::RightButton);
    EXPECT_EQ(Form1->Graph.CursorPending1, 0);
    EXPECT_EQ(Form1->Graph.CursorPending2, 1);
    CtrlClick(X(250), Qt::RightButton);
    EXPECT_EQ(Form1->Graph.CursorPending2, 0);
    // In XY a Ctrl-click clears them like a plain click.
    Form1->RGVoie->SetItemIndex(Form1->RGVoie->Items.IndexOf("XY"));
    CtrlClick(X(100));
    EXPECT_EQ(Form1->Graph.CursorPending1, 1);
    EXPECT_EQ(Form1->Graph.CursorPending2, 1);
}

TEST_F(GraphCursorsTest, NothingWhileMeasuringNorWithoutAScale) {
    // During a measurement: no readout, no cursor.
    Form1->RGVoie->SetItemIndex(Form1->RGVoie->Items.IndexOf("Y1"));
    Form1->CBdelta_t->DropDown();
    Form1->CBdelta_t->CloseUp(12); // 1 s
    Form1->ActionNouvelleMesure->Execute();
    ASSERT_EQ(Form1->GraphShown, 0);
    Move(QPoint(200, 150));
    EXPECT_EQ(Status(), "");
    CtrlClick(200);
    EXPECT_EQ(Form1->Graph.CursorPending1, 1);
    Form1->ActionFinMesures->Execute();

    // A file whose display range has no height: no scale, nothing read or
    // stored.
    workbench::MeasurementSet flat = SineAndManualPoints();
    flat.DisplayMax[0][0] = flat.DisplayMin[0][0] = 1;
    Guard.Dialogs.Answer(platform::ModalResult::Yes, "remplacer");
    LoadRecord(flat);
    Form1->BTS1->Click();
    ProcessMessages();
    ASSERT_FALSE(Form1->Graph.FrameValid);
    Move(QPoint(200, 150));
    EXPECT_EQ(Status(), "");
    CtrlClick(200);
    EXPECT_EQ(Form1->Graph.CursorPending1, 1);
}

// ---------------------------------------------------------- manual line

TEST_F(GraphCursorsTest, ManualLineFollowsThePointerThenKeepsItsLabel) {
    ShowManualPoints();
    const QPoint start = Manual(0, 0);
    const QPoint above = Manual(10, 3);
    const QPoint end = Manual(20, 2);
    const QPoint firstMiddle((start.x() + above.x()) / 2, (start.y() + above.y()) / 2);
    const TColor background = Form1->Style.BackgroundColor;
    ASSERT_EQ(Shown(firstMiddle.x(), firstMiddle.y()), background);

    Press(start);
    Move(above, Qt::LeftButton);
    EXPECT_EQ(Shown(firstMiddle.x(), firstMiddle.y()), ManualLineColor); // the rubber line
    Move(end, Qt::LeftButton);
    EXPECT_EQ(Shown(firstMiddle.x(), firstMiddle.y()), background); // drawn over again: gone
    EXPECT_EQ(Status(), "");
    Release(end);

    const workbench::SeriesLine& line = Form1->Graph.SeriesLines[1];
    ASSERT_EQ(line.Valid, 1);
    EXPECT_NEAR(line.X2 - line.X1, 20, 1);
    EXPECT_NEAR(line.Y2 - line.Y1, 2, 0.1);
    // 2 V over 20 mA: about 100 ohm, the pixels' rounding aside.
    ASSERT_EQ(line.Label.rfind("R2 = ", 0), 0u) << line.Label;
    EXPECT_NEAR(std::stod(line.Label.substr(5)), 100, 10) << line.Label;
    EXPECT_EQ(line.Label.substr(line.Label.size() - 4), " ohm");
    // Stored and drawn by the graph (its label stands below its end).
    const QPoint quarter((3 * start.x() + end.x()) / 4, (3 * start.y() + end.y()) / 4);
    EXPECT_TRUE(Near(quarter, ManualLineColor));
    EXPECT_EQ(Form1->Graph.SeriesLines[0].Valid, 0);

    // A vertical line for the same series replaces it, without label.
    Press(Manual(10, 0));
    Release(Manual(10, 3));
    EXPECT_EQ(Form1->Graph.SeriesLines[1].Label, "");
    EXPECT_NEAR(Form1->Graph.SeriesLines[1].X1, 10, 0.5);
}

TEST_F(GraphCursorsTest, ALostReleaseNeverLeavesTheLineInverted) {
    ShowManualPoints();
    // A press whose release never came (a box opened during the drag) ...
    Press(Manual(0, 0));
    // ... then a new press starts a new line, which its release ends.
    Press(Manual(10, 1));
    EXPECT_EQ(Form1->LineDrawing, 1);
    Release(Manual(20, 2));
    EXPECT_EQ(Form1->LineDrawing, 0);
    const workbench::SeriesLine line = Form1->Graph.SeriesLines[1];
    EXPECT_NEAR(line.X1, 10, 0.5);
    EXPECT_NEAR(line.X2, 20, 0.5);

    // A move without the button after a lost release takes the rubber line
    // away and draws no more.
    const QPoint from = Manual(-20, -3);
    const QPoint to = Manual(-10, 5);
    // Off the axes and the grid lines, which the rubber line would invert.
    const QPoint quarter((3 * from.x() + to.x()) / 4, (3 * from.y() + to.y()) / 4);
    Press(from);
    Move(to, Qt::LeftButton);
    EXPECT_TRUE(Near(quarter, ManualLineColor));
    Move(Manual(-15, 4));
    EXPECT_EQ(Form1->LineDrawing, 0);
    EXPECT_FALSE(Near(quarter, ManualLineColor));
    EXPECT_NEAR(Form1->Graph.SeriesLines[1].X1, 10, 0.5); // the line stored before stays

    // A release without a press stores nothing, and no move draws.
    Release(Manual(0, 3));
    EXPECT_EQ(Form1->Graph.SeriesLines[1].X2, line.X2);
    EXPECT_EQ(Form1->LineDrawing, 0);
    const QPoint far = Manual(5, 2.5);
    Move(far);
    EXPECT_EQ(Shown((Manual(0, 3).x() + far.x()) / 2, (Manual(0, 3).y() + far.y()) / 2),
              Form1->Style.BackgroundColor);
}

} // namespace
} // namespace wbtest
