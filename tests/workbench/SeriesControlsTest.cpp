// The series controls of the "Tracé" group: what a load, a new measurement
// and the selection buttons leave in them, and what the graph then shows;
// the settings panel action.
#include "WorkbenchFixture.h"

#include "graph/GraphScale.h"
#include "model/MeasurementFile.h"

#include <QContextMenuEvent>

#include <set>

using namespace tampon;
using namespace kvel1;

namespace wbtest {
namespace {

using workbench::PaleColor;

constexpr unsigned Marked = fsBold | fsItalic | fsUnderline;

// Line colour and marker colour of each series on channel 0: none of them is
// a colour of the frame, nor the pale form of another.
constexpr TColor LineColor[workbench::MaxSeries] = {0x00000060, 0x00006000, 0x00600000, 0x00606000};
constexpr TColor MarkerColor[workbench::MaxSeries] = {0x00000090, 0x00009000, 0x00900000,
                                                      0x00909000};
// The level of each series in the files below.
constexpr float Level[workbench::MaxSeries] = {6.5f, -5.5f, 2.5f, -2.5f};
constexpr int FilePoints = 10;

double PointTimeMs(int k) {
    return 50.0 * k;
}

// A file of `series` flat series of ten points, 50 ms apart, on a 475 ms
// time axis.
workbench::MeasurementSet FlatSeries(int series) {
    workbench::MeasurementSet record;
    workbench::PresetMeasurementSet(record);
    record.SeriesCount = record.ShownSeries = static_cast<uint8_t>(series);
    record.DeltaTIndex = 3; // 5 ms
    for (int s = 0; s < series; ++s) {
        record.PointCount[s] = FilePoints;
        workbench::SetShortString(record.SeriesUnit[s][0], "V");
        for (int k = 0; k < FilePoints; ++k) {
            record.PointTime[s][k] = static_cast<float>(PointTimeMs(k));
            record.PointValue[s][0][k] = Level[s];
        }
    }
    return record;
}

// The display boxes of series s as text, per channel "g", "L", "p" or "-",
// channels apart by '/': "gL-/gL-" is a pale line on both channels.
std::string BoxesOf(int s) {
    std::string text;
    for (int c = 0; c < workbench::ChannelCount; ++c) {
        if (c > 0)
            text += '/';
        for (int k = 0; k < 3; ++k)
            text += Form1->CurveBoxes[s - 1][c][k]->Checked() ? "gLp"[k] : '-';
    }
    return text;
}

// Every pixel of the graph, as the screen shows it, in graph coordinates.
struct GraphPixels {
    std::vector<TColor> Colors;
    int Width = 0;
    int Height = 0;

    static GraphPixels Now() {
        ProcessMessages();
        const QImage& screen = Form1->PaintBox1->Surface();
        GraphPixels pixels;
        const int m = Form1->GraphMargin;
        pixels.Width = Form1->GraphBitmap->Width();
        pixels.Height = Form1->GraphBitmap->Height();
        for (int y = 0; y < pixels.Height; ++y)
            for (int x = 0; x < pixels.Width; ++x)
                pixels.Colors.push_back(RgbToColor(screen.pixel(x + m, y + m)));
        return pixels;
    }
    TColor At(int x, int y) const { return Colors.at(size_t(y) * size_t(Width) + size_t(x)); }
    int Count(TColor color) const {
        return static_cast<int>(std::count(Colors.begin(), Colors.end(), color));
    }
    // The rows holding color.
    std::set<int> Rows(TColor color) const {
        std::set<int> rows;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (At(x, y) == color)
                    rows.insert(y);
        return rows;
    }
};

class SeriesControlsTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureB);
        workbench::GraphStyle& style = Form1->Style;
        for (int s = 0; s < workbench::MaxSeries; ++s) {
            style.CurveColor[s][0] = LineColor[s];
            workbench::TPointStyle& point = style.PointStyle[s][0];
            point.Shape = 0;
            point.HalfWidth = point.HalfHeight = 3;
            point.FillColor = point.OutlineColor = MarkerColor[s];
        }
    }

    // The user's "Lire" of a file holding `series` series.
    void Load(int series) {
        const auto path = InFolder("series" + std::to_string(series) + ".mrs");
        const workbench::MeasurementSet record = FlatSeries(series);
        WriteBytes(path, &record, sizeof record);
        const int shown = MeasurementRecord.ShownSeries;
        if (shown >= 1 && MeasurementRecord.PointCount[shown - 1] >= 1)
            Guard.Dialogs.Answer(platform::ModalResult::Yes, "remplacer");
        Guard.Dialogs.AnswerOpen(path.string());
        Form1->ActionLireExecute();
        ASSERT_EQ(MeasurementRecord.SeriesCount, series);
    }

    static int X(double tMs) { return workbench::TimeToX(Form1->Graph, tMs); }
    static int Y(float value) { return workbench::ValueToY(Form1->Graph, 0, value); }
};

// ------------------------------------------------------------------ a load

class LoadedSeriesTest : public SeriesControlsTest, public ::testing::WithParamInterface<int> {};

TEST_P(LoadedSeriesTest, NewestPressedInPointsOlderOnesPaleLines) {
    const int n = GetParam();
    // Whatever the boxes and widths were before, the load sets them.
    for (int s = 1; s <= workbench::MaxSeries; ++s)
        for (int c = 0; c < workbench::ChannelCount; ++c) {
            for (TCheckBox* box : Form1->CurveBoxes[s - 1][c])
                box->SetChecked(true);
            Form1->Style.CurveWidth[s - 1][c] = 3;
        }
    Load(n);

    const TFont parentFont = Form1->GroupBoxTrace->Font();
    for (int s = 1; s <= workbench::MaxSeries; ++s) {
        SCOPED_TRACE("series " + std::to_string(s));
        const bool held = s <= n;
        EXPECT_EQ(Form1->SeriesBoxes[s - 1]->Visible(), held);
        EXPECT_EQ(Form1->SeriesButtons[s - 1]->Visible(), held);
        EXPECT_EQ(Form1->SeriesButtons[s - 1]->Down(), s == n);
        EXPECT_EQ(BoxesOf(s), s == n ? "--p/--p" : held ? "gL-/gL-" : "---/---");
        for (int c = 0; c < workbench::ChannelCount; ++c)
            EXPECT_EQ(Form1->Style.CurveWidth[s - 1][c], held ? 1 : 3);
        if (s == n) {
            EXPECT_EQ(Form1->SeriesBoxes[s - 1]->Font().Style, Marked);
        } else if (held) {
            EXPECT_EQ(Form1->SeriesBoxes[s - 1]->Font(), parentFont);
        }
    }
    EXPECT_EQ(Form1->SelectedSeries, n);
    EXPECT_EQ(Form1->SeriesBoxes[n - 1]->Font().Name, parentFont.Name);

    // The controls set again press the newest series as a state only: the
    // selection is the caller's.
    Form1->SelectedSeries = 1;
    Form1->UpdateSeriesControls();
    EXPECT_EQ(Form1->SelectedSeries, 1);
    EXPECT_TRUE(Form1->SeriesButtons[n - 1]->Down());
}

INSTANTIATE_TEST_SUITE_P(Counts, LoadedSeriesTest, ::testing::Values(1, 2, 3, 4));

TEST_F(SeriesControlsTest, LoadOfThreeDrawsTheNewestInPointsAndTheOthersAsThinPaleLines) {
    Load(3);
    const GraphPixels graph = GraphPixels::Now();
    ASSERT_TRUE(Form1->Graph.FrameValid);
    const int xFirst = X(PointTimeMs(0));
    const int xLast = X(PointTimeMs(FilePoints - 1));
    ASSERT_GT(xLast - xFirst, 200);

    for (int s = 1; s <= 2; ++s) {
        SCOPED_TRACE("series " + std::to_string(s));
        // One pale line of width 1 across all points, at the series' level.
        const TColor pale = PaleColor(LineColor[s - 1]);
        EXPECT_EQ(graph.Rows(pale), std::set<int>{Y(Level[s - 1])});
        EXPECT_GE(graph.Count(pale), xLast - xFirst - 2);
        EXPECT_EQ(graph.Count(LineColor[s - 1]), 0);
        EXPECT_EQ(graph.Count(MarkerColor[s - 1]), 0);
    }
    // Series 3: a marker at each point, no line.
    for (int k = 0; k < FilePoints; ++k)
        EXPECT_EQ(graph.At(X(PointTimeMs(k)), Y(Level[2])), MarkerColor[2]) << "point " << k;
    EXPECT_EQ(graph.At((X(PointTimeMs(4)) + X(PointTimeMs(5))) / 2, Y(Level[2])),
              Form1->Style.BackgroundColor);
    EXPECT_EQ(graph.Count(LineColor[2]), 0);
    EXPECT_EQ(graph.Count(PaleColor(LineColor[2])), 0);
}

// ------------------------------------------------------- selection buttons

TEST_F(SeriesControlsTest, SelectingASeriesShowsItAloneAsLineAndPoints) {
    Load(3);
    Form1->Style.CurveWidth[1][0] = 1;
    Form1->BTS2->Click();

    EXPECT_EQ(Form1->SelectedSeries, 2);
    EXPECT_TRUE(Form1->BTS2->Down());
    EXPECT_FALSE(Form1->BTS3->Down());
    EXPECT_EQ(BoxesOf(1), "---/---");
    EXPECT_EQ(BoxesOf(2), "-Lp/-Lp");
    EXPECT_EQ(BoxesOf(3), "---/---");
    EXPECT_EQ(BoxesOf(4), "---/---");
    EXPECT_EQ(Form1->GBS2->Font().Style, Marked);
    EXPECT_EQ(Form1->GBS1->Font(), Form1->GroupBoxTrace->Font());
    EXPECT_EQ(Form1->GBS3->Font(), Form1->GroupBoxTrace->Font());

    const GraphPixels graph = GraphPixels::Now();
    const int y = Y(Level[1]);
    // Its markers (their centres lie under the line that leaves them) ...
    for (int k = 0; k < FilePoints; ++k)
        EXPECT_EQ(graph.At(X(PointTimeMs(k)), y - 2), MarkerColor[1]) << "point " << k;
    // ... joined by its line, in its own colour.
    EXPECT_EQ(graph.At((X(PointTimeMs(4)) + X(PointTimeMs(5))) / 2, y), LineColor[1]);
    EXPECT_EQ(graph.Rows(LineColor[1]), std::set<int>{y});
    for (int s : {1, 3}) {
        EXPECT_EQ(graph.Count(MarkerColor[s - 1]), 0) << s;
        EXPECT_EQ(graph.Count(LineColor[s - 1]), 0) << s;
        EXPECT_EQ(graph.Count(PaleColor(LineColor[s - 1])), 0) << s;
    }

    // Back to series 3: series 2 disappears.
    Form1->BTS3->Click();
    EXPECT_EQ(Form1->SelectedSeries, 3);
    EXPECT_EQ(BoxesOf(2), "---/---");
    EXPECT_EQ(BoxesOf(3), "-Lp/-Lp");
    EXPECT_EQ(Form1->GBS3->Font().Style, Marked);
    EXPECT_EQ(Form1->GBS2->Font(), Form1->GroupBoxTrace->Font());
    const GraphPixels again = GraphPixels::Now();
    EXPECT_EQ(again.Count(MarkerColor[1]), 0);
    EXPECT_EQ(again.At(X(PointTimeMs(0)), Y(Level[2]) - 2), MarkerColor[2]);
}

TEST_F(SeriesControlsTest, ABoxTickedByTheUserRedrawsTheGraph) {
    Load(2);
    EXPECT_EQ(GraphPixels::Now().Count(MarkerColor[0]), 0);
    Form1->cbS1g1->SetChecked(false); // series 1: a line in its own colour
    Form1->cbs1p1->SetChecked(true);  // and its markers
    const GraphPixels graph = GraphPixels::Now();
    EXPECT_EQ(graph.At(X(PointTimeMs(3)), Y(Level[0]) - 2), MarkerColor[0]);
    EXPECT_GT(graph.Count(LineColor[0]), 100);
    EXPECT_EQ(graph.Count(PaleColor(LineColor[0])), 0);
}

// ----------------------------------------------------- a new measurement

TEST_F(SeriesControlsTest, ArretAutoMeasurementsAreShownInPointsThenAsPaleLines) {
    Form1->CBmonoCoup->SetChecked(true);
    Rig.SetGenerator(0, sim::Generator::Dc(767));
    ASSERT_TRUE(Form1->ActionNouvelleMesure->Enabled());
    Form1->ActionNouvelleMesure->Execute();
    ASSERT_EQ(Form1->AcqState, 0);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 95);

    EXPECT_TRUE(Form1->GroupBoxTrace->Visible());
    EXPECT_TRUE(Form1->PanelBTS->Visible());
    EXPECT_TRUE(Form1->BTS1->Down());
    EXPECT_FALSE(Form1->BTS2->Visible());
    EXPECT_EQ(BoxesOf(1), "--p/--p");
    EXPECT_EQ(Form1->GBS1->Font().Style, Marked);

    const float high = ConvertRawCount(0, 767);
    GraphPixels graph = GraphPixels::Now();
    ASSERT_TRUE(Form1->Graph.FrameValid);
    const float step = static_cast<float>(MeasurementRecord.PointTime[0][1]);
    for (int k : {1, 30, 60, 95})
        EXPECT_EQ(graph.At(X(step * (k - 1)), Y(high)), MarkerColor[0]) << "point " << k;
    EXPECT_EQ(graph.Count(LineColor[0]), 0);

    // A second one: the first becomes a pale line, the new one points.
    Rig.SetGenerator(0, sim::Generator::Dc(256));
    Form1->ActionNouvelleMesure->Execute();
    ASSERT_EQ(MeasurementRecord.SeriesCount, 2);
    EXPECT_EQ(BoxesOf(1), "gL-/gL-");
    EXPECT_EQ(BoxesOf(2), "--p/--p");
    EXPECT_TRUE(Form1->BTS2->Down());
    EXPECT_EQ(Form1->GBS2->Font().Style, Marked);
    EXPECT_EQ(Form1->GBS1->Font(), Form1->GroupBoxTrace->Font());
    graph = GraphPixels::Now();
    const float low = ConvertRawCount(0, 256);
    EXPECT_EQ(graph.Rows(PaleColor(LineColor[0])), std::set<int>{Y(high)});
    EXPECT_EQ(graph.Count(MarkerColor[0]), 0);
    for (int k : {1, 50, 95})
        EXPECT_EQ(graph.At(X(step * (k - 1)), Y(low)), MarkerColor[1]) << "point " << k;
}

// ------------------------------------------------------ the settings panel

TEST_F(SeriesControlsTest, HidingTheSettingsPanelGivesItsWidthToTheGraph) {
    const int width = Form1->PaintBox1->Width();
    const int height = Form1->PaintBox1->Height();
    const int panel = Form1->PanelBoutons->Width();
    EXPECT_EQ(Form1->ActionPanneauReglages->ImageIndex(), 0);

    Form1->ActionPanneauReglages->Execute();
    EXPECT_FALSE(Form1->PanelBoutons->Visible());
    EXPECT_EQ(Form1->ActionPanneauReglages->ImageIndex(), 4);
    EXPECT_EQ(Form1->PaintBox1->Width(), width + panel);
    EXPECT_EQ(Form1->PaintBox1->Height(), height);
    EXPECT_EQ(Form1->GraphBitmap->Width(), width + panel - 2 * Form1->GraphMargin);
    // The frame is drawn over the new width.
    GraphPixels::Now();
    EXPECT_EQ(Form1->Graph.PlotWidth, Form1->GraphBitmap->Width());

    Form1->ActionPanneauReglages->Execute();
    EXPECT_TRUE(Form1->PanelBoutons->Visible());
    EXPECT_EQ(Form1->ActionPanneauReglages->ImageIndex(), 0);
    EXPECT_EQ(Form1->PaintBox1->Width(), width);
    EXPECT_EQ(Form1->GraphBitmap->Width(), width - 2 * Form1->GraphMargin);
}

// ------------------------------------------------------- erasing a series

class EraseSeriesTest : public SeriesControlsTest {
protected:
    // The user's right click on the group box of series n.
    static void RightClickSeriesBox(int n) {
        TGroupBox* box = Form1->SeriesBoxes[n - 1];
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                box->Widget()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(box->Widget(), &event);
        EXPECT_TRUE(event.isAccepted()) << "the click is handled: no menu opens";
        ProcessMessages();
    }

    static std::string Question(int n) {
        return "Voulez-vous effacer la série\r\nde mesures n° " + std::to_string(n) + " ?";
    }

    // Manual means and a drawn line in series s, which say s.
    static void AddManualPointAndLine(int s) {
        MeasurementRecord.XYPointCount[s - 1] = s;
        MeasurementRecord.ManualY1[s - 1][0] = 10.0f * s;
        workbench::SeriesLine& line = Form1->Graph.SeriesLines[s - 1];
        line = {};
        line.X2 = static_cast<float>(s);
        line.Valid = 1;
        line.Label = "R" + std::to_string(s) + " = " + std::to_string(s) + " ohm";
    }
};

TEST_F(EraseSeriesTest, ErasingTheFirstOfThreeMovesTheOthersDown) {
    Load(3);
    for (int s = 1; s <= 3; ++s)
        AddManualPointAndLine(s);
    Form1->BTS1->Click(); // a selection that the erase must not leave stale
    Guard.Dialogs.Answer(platform::ModalResult::Yes, Question(1));

    RightClickSeriesBox(1);

    const std::vector<platform::MessageRequest> boxes = Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, Question(1));
    EXPECT_EQ(boxes[0].Caption, "Confirmation");
    EXPECT_EQ(boxes[0].Buttons, unsigned(platform::MbYes | platform::MbNo));
    EXPECT_EQ(MeasurementRecord.SeriesCount, 2);
    EXPECT_EQ(MeasurementRecord.ShownSeries, 2);
    for (int slot = 1; slot <= 2; ++slot) {
        const int was = slot + 1;
        SCOPED_TRACE("slot " + std::to_string(slot));
        EXPECT_EQ(MeasurementRecord.PointValue[slot - 1][0][0], Level[was - 1]);
        EXPECT_EQ(MeasurementRecord.XYPointCount[slot - 1], was);
        EXPECT_EQ(MeasurementRecord.ManualY1[slot - 1][0], 10.0f * was);
        const workbench::SeriesLine& line = Form1->Graph.SeriesLines[slot - 1];
        EXPECT_EQ(line.Valid, 1);
        EXPECT_EQ(line.X2, float(was));
        // The label keeps its text, number included.
        EXPECT_EQ(line.Label, "R" + std::to_string(was) + " = " + std::to_string(was) + " ohm");
    }
    EXPECT_EQ(Form1->Graph.SeriesLines[2].Valid, 0);

    // The controls as after a load of two: the selection on the newest.
    EXPECT_EQ(Form1->SelectedSeries, 2);
    EXPECT_TRUE(Form1->BTS2->Down());
    EXPECT_FALSE(Form1->GBS3->Visible());
    EXPECT_FALSE(Form1->BTS3->Visible());
    EXPECT_EQ(BoxesOf(1), "gL-/gL-");
    EXPECT_EQ(BoxesOf(2), "--p/--p");
    EXPECT_EQ(Form1->GBS2->Font().Style, Marked);

    // Styles belong to the numbers: the old series 2 is drawn as series 1's
    // pale line, the old series 3 with series 2's markers.
    const GraphPixels graph = GraphPixels::Now();
    EXPECT_EQ(graph.Rows(PaleColor(LineColor[0])), std::set<int>{Y(Level[1])});
    EXPECT_EQ(graph.At(X(PointTimeMs(3)), Y(Level[2])), MarkerColor[1]);
    EXPECT_EQ(graph.Count(MarkerColor[2]), 0);
}

TEST_F(EraseSeriesTest, ErasingTheLastOfSeveralOnlyLowersTheCount) {
    Load(3);
    Guard.Dialogs.Answer(platform::ModalResult::Yes, Question(3));
    RightClickSeriesBox(3);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 2);
    // Its contents stay in the slot, and go into a later file.
    EXPECT_EQ(MeasurementRecord.PointCount[2], FilePoints);
    EXPECT_EQ(MeasurementRecord.PointValue[2][0][0], Level[2]);
    EXPECT_EQ(MeasurementRecord.PointValue[1][0][0], Level[1]);
    EXPECT_EQ(Form1->SelectedSeries, 2);
}

TEST_F(EraseSeriesTest, AnsweringNoKeepsEverything) {
    Load(2);
    const std::vector<char> before = RecordBytes();
    Guard.Dialogs.Answer(platform::ModalResult::No, Question(2));
    RightClickSeriesBox(2);
    EXPECT_EQ(RecordBytes(), before);
    EXPECT_TRUE(Form1->GBS2->Visible());
}

// The only series: "Enregistrer" with its save question. "Non" clears all
// (the erase was already asked for); "Oui" with the save dialog cancelled
// keeps it.
class EraseOnlySeriesTest : public EraseSeriesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EraseOnlySeriesTest, RunsEnregistrer) {
    const bool saveThenCancel = GetParam();
    Load(1);
    Guard.Dialogs.Answer(platform::ModalResult::Yes, Question(1));
    if (saveThenCancel) {
        Guard.Dialogs.Answer(platform::ModalResult::Yes, "enregistrer les mesures");
        Guard.Dialogs.AnswerSave("");
    } else {
        Guard.Dialogs.Answer(platform::ModalResult::No, "enregistrer les mesures");
    }
    RightClickSeriesBox(1);
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(MeasurementRecord.SeriesCount, saveThenCancel ? 1 : 0);
    EXPECT_EQ(Form1->GroupBoxTrace->Visible(), saveThenCancel);
}

INSTANTIATE_TEST_SUITE_P(Answers, EraseOnlySeriesTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "SaveCancelledKeepsIt" : "NoClearsIt");
});

TEST_F(EraseSeriesTest, ARightClickWhileMeasuringOpensNothing) {
    Form1->RGVoie->SetItemIndex(Form1->RGVoie->Items.IndexOf("Y1"));
    Form1->CBdelta_t->DropDown();
    Form1->CBdelta_t->CloseUp(12); // 1 s
    Form1->ActionNouvelleMesure->Execute();
    ASSERT_EQ(Form1->AcqState, 2);
    RightClickSeriesBox(1); // an unexpected box would fail the test
    EXPECT_EQ(Form1->AcqState, 2);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    Form1->ActionFinMesures->Execute();
}

} // namespace
} // namespace wbtest
