// Series styles, graph colours, the range buttons and the options files, as
// the user meets them in the main window: the samples, buttons and graph menu
// items, what the graph then shows, and the options files' bytes.
#include "WorkbenchFixture.h"

#include "core/IniFile.h"
#include "graph/GraphScale.h"

#include <QMouseEvent>

namespace wbtest {
namespace {

using platform::ModalResult;
using platform::MsgType;

// A pixel of a paint box as the screen shows it.
TColor PixelOf(TPaintBox* box, int x, int y) {
    ProcessMessages();
    return RgbToColor(box->Surface().pixel(x, y));
}

int CountOf(TPaintBox* box, TColor colour) {
    ProcessMessages();
    const QImage& surface = box->Surface();
    int count = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            count += RgbToColor(surface.pixel(x, y)) == colour;
    return count;
}

// A mouse button pressed and released on a control, as a user's click.
void ClickWith(QWidget* widget, Qt::MouseButton button) {
    const QPointF at(3, 3);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

std::string Text(const std::filesystem::path& path) {
    const std::vector<char> bytes = FileBytes(path);
    return {bytes.begin(), bytes.end()};
}

class StylesTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    }

    // One "arrêt auto" measurement: series 1 held, its style group shown;
    // then series 1 selected, as line and points on both channels.
    void MeasureAndSelect() {
        Form1->CBmonoCoup->SetChecked(true);
        Rig.SetGenerator(0, sim::Generator::Dc(767));
        Form1->ActionNouvelleMesure->Execute();
        ASSERT_EQ(MeasurementRecord.PointCount[0], 95);
        ASSERT_TRUE(Form1->GroupBoxTrace->Visible());
        Form1->BTS1->Click();
        ProcessMessages();
    }

    std::filesystem::path OwnFile() const { return InFolder("Kestrova.INI"); }
    std::filesystem::path FactoryFile() const { return InFolder("original.INI"); }
};

// ----------------------------------------------------------- the samples

TEST_F(StylesTest, ColourPicksOnASampleAndItsButtonsShowInTheSampleAndTheGraph) {
    MeasureAndSelect();
    TPaintBox* sample = Form1->PB10;
    EXPECT_EQ(PixelOf(sample, 0, 0), Form1->Style.CurveColor[0][0]);

    // A mouse button released on the sample: the line colour.
    Guard.Dialogs.AnswerColor(0x000000C0);
    ClickWith(sample, Qt::RightButton);
    EXPECT_EQ(Guard.Dialogs.Pending(), 0u);
    EXPECT_EQ(Form1->Style.CurveColor[0][0], 0x000000C0u);
    EXPECT_EQ(PixelOf(sample, 0, 0), 0x000000C0u);
    EXPECT_GT(CountOf(Form1->PaintBox1, 0x000000C0), 100); // the line of series 1

    // Cancelled: nothing changes.
    Guard.Dialogs.AnswerColor(0x00FFFFFF, false);
    ClickWith(sample, Qt::LeftButton);
    EXPECT_EQ(Form1->Style.CurveColor[0][0], 0x000000C0u);

    // "o": the marker's outline; the fill button: its inside.
    Guard.Dialogs.AnswerColor(0x00C00000);
    Form1->Btbord10->Click();
    Guard.Dialogs.AnswerColor(0x0000C000);
    Form1->Btint10->Click();
    EXPECT_EQ(Form1->Style.PointStyle[0][0].OutlineColor, 0x00C00000u);
    EXPECT_EQ(Form1->Style.PointStyle[0][0].FillColor, 0x0000C000u);
    EXPECT_GT(CountOf(sample, 0x00C00000), 0);
    EXPECT_GT(CountOf(sample, 0x0000C000), 0);
    EXPECT_GT(CountOf(Form1->PaintBox1, 0x0000C000), 95);
    // Channel 1's sample keeps its own colours.
    EXPECT_EQ(CountOf(Form1->PB11, 0x000000C0), 0);
    EXPECT_EQ(CountOf(Form1->PB11, 0x00C00000), 0);
}

TEST_F(StylesTest, BackgroundColourRepaintsTheGraphAndAllEightSamples) {
    MeasureAndSelect();
    constexpr TColor Back = 0x00203040;
    Guard.Dialogs.AnswerColor(Back);
    Form1->Couleurdufond1->Click();
    EXPECT_EQ(Form1->Style.BackgroundColor, Back);
    EXPECT_EQ(PixelOf(Form1->PaintBox1, 2, 2), Back);
    // The samples of the series boxes still hidden, once they are shown.
    EXPECT_FALSE(Form1->GBS4->Visible());
    Form1->GBS4->SetVisible(true);
    for (int s = 0; s < workbench::MaxSeries; ++s)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(PixelOf(Form1->StyleSamples[s][c], 13, 0), Back) << s + 1 << c;
}

TEST_F(StylesTest, ShapeButtonStepsTheShapeAndTheSampleShowsIt) {
    MeasureAndSelect();
    workbench::TPointStyle& point = Form1->Style.PointStyle[0][1];
    point.Shape = 4;
    point.OutlineColor = 0x00C000C0;
    Form1->BtForme11->Click();
    EXPECT_EQ(point.Shape, 0);
    ProcessMessages();
    const QImage rectangle = Form1->PB11->Surface().copy();
    const int outline = CountOf(Form1->PB11, 0x00C000C0);
    Form1->BtForme11->Click();
    Form1->BtForme11->Click();
    EXPECT_EQ(point.Shape, 2);
    ProcessMessages();
    EXPECT_NE(Form1->PB11->Surface(), rectangle); // a plus
    // A value no button gives: the next click starts the cycle again.
    point.Shape = -1;
    Form1->PB11->Repaint();
    EXPECT_EQ(CountOf(Form1->PB11, 0x00C000C0), 0); // no marker is drawn
    Form1->BtForme11->Click();
    EXPECT_EQ(point.Shape, 0);
    EXPECT_EQ(CountOf(Form1->PB11, 0x00C000C0), outline);
}

TEST_F(StylesTest, StepButtonsActOnTheTickedChannelsOfTheSelectedSeries) {
    MeasureAndSelect();
    workbench::GraphStyle& style = Form1->Style;
    ASSERT_EQ(style.CurveWidth[0][0], 1); // as the series controls set it
    const int thin = CountOf(Form1->PB10, style.CurveColor[0][0]);

    Form1->BtEpaisseurPlus->Click();
    EXPECT_EQ(style.CurveWidth[0][0], 2);
    EXPECT_EQ(style.CurveWidth[0][1], 2);
    EXPECT_GT(CountOf(Form1->PB10, style.CurveColor[0][0]), thin);

    // Channel 1's line box unticked: its width stays.
    Form1->cbs1L2->SetChecked(false);
    Form1->BtEpaisseurPlus->Click();
    EXPECT_EQ(style.CurveWidth[0][0], 3);
    EXPECT_EQ(style.CurveWidth[0][1], 2);

    Form1->BtPointPlus->Click();
    Form1->BtPointPlus->Click();
    Form1->BtPointPlus->Click(); // 2 -> 4, then held at 4
    EXPECT_EQ(style.PointStyle[0][0].HalfWidth, 4);
    EXPECT_EQ(style.PointStyle[0][1].HalfHeight, 4);
    Form1->BtepaisseurBordPlus->Click();
    Form1->cbs1p1->SetChecked(false);
    Form1->BtEpaisseurBordMoins->Click();
    EXPECT_EQ(style.PointStyle[0][0].OutlineWidth, 2);
    EXPECT_EQ(style.PointStyle[0][1].OutlineWidth, 1);
    // Other series are left alone.
    EXPECT_EQ(style.CurveWidth[1][0], 2);
    EXPECT_EQ(style.PointStyle[1][0].HalfWidth, 2);
}

// -------------------------------------------------------- the graph menu

TEST_F(StylesTest, GraphMenuHoldsTheStyleAndOptionsItemsInOrder) {
    TMenuItem* root = Form1->PopupMenu1->Items();
    std::vector<std::string> captions;
    for (int i = 0; i < root->Count(); ++i)
        captions.push_back(root->Items(i)->Caption());
    const std::vector<std::string> expected = {
        "Couleur fond",  "Epaisseur axe",      "Voie Y1", "Voie Y2", "-",
        "Réinitialiser", "Enregistrer options"};
    ASSERT_GE(captions.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), captions.begin()));
    EXPECT_EQ(Form1->Epaisseur1->Items(2)->Caption(), "3 points");
    EXPECT_EQ(Form1->AxeY21->Items(0)->Caption(), "Couleur axe");
    EXPECT_EQ(Form1->AxeY21->Items(1)->Caption(), "Grille");
    EXPECT_EQ(Form1->AxeY21->Items(2)->Caption(), "Couleur grille");
    EXPECT_TRUE(Form1->Grille1->Checked());
    EXPECT_TRUE(Form1->Grille2->Checked());
}

TEST_F(StylesTest, GridAndAxisItemsChangeWhatTheGraphShows) {
    constexpr TColor GridY1 = 0x00345678;
    Guard.Dialogs.AnswerColor(GridY1);
    Form1->Couleurgrille1->Click();
    const int grid = CountOf(Form1->PaintBox1, GridY1);
    EXPECT_GT(grid, 200);

    Form1->Grille1->Click();
    EXPECT_FALSE(Form1->Grille1->Checked());
    EXPECT_EQ(Form1->Style.GridOn[0], 0);
    EXPECT_EQ(CountOf(Form1->PaintBox1, GridY1), 0);
    Form1->Grille1->Click();
    EXPECT_TRUE(Form1->Grille1->Checked());
    EXPECT_EQ(CountOf(Form1->PaintBox1, GridY1), grid);

    constexpr TColor AxisY1 = 0x00102030;
    Guard.Dialogs.AnswerColor(AxisY1);
    Form1->Couleur1->Click();
    Form1->N1point->Click();
    const int thin = CountOf(Form1->PaintBox1, AxisY1);
    Form1->N3points->Click();
    EXPECT_EQ(Form1->Style.AxisWidth, 3);
    EXPECT_GT(CountOf(Form1->PaintBox1, AxisY1), thin + 100);
    Form1->N2points->Click();
    EXPECT_EQ(Form1->Style.AxisWidth, 2);

    // Channel Y2's items in the XY graph, whose horizontal axis is Y2's.
    constexpr TColor AxisY2 = 0x00607080;
    Guard.Dialogs.AnswerColor(AxisY2);
    Form1->Couleur2->Click();
    EXPECT_EQ(Form1->Style.AxisColor[1], AxisY2);
    Form1->Grille2->Click();
    EXPECT_EQ(Form1->Style.GridOn[1], 0);
    EXPECT_FALSE(Form1->Grille2->Checked());
}

// ------------------------------------------------------ the range buttons

TEST_F(StylesTest, RangeButtonsNarrowAndWidenTheSelectedSeriesRange) {
    int paints = 0;
    auto paint = Form1->PaintBox1->OnPaint;
    Form1->PaintBox1->OnPaint = [&](TCanvas& canvas) {
        ++paints;
        paint(canvas);
    };
    const TColor back = Form1->Style.BackgroundColor;
    ProcessMessages();
    const QImage before = Form1->PaintBox1->Surface().copy();

    // Channel 0, sensor -10..10: half a unit a click.
    Form1->SBmax0->ClickDown();
    Form1->SBmax0->ClickDown();
    Form1->SBmin0->ClickUp();
    EXPECT_EQ(MeasurementRecord.DisplayMax[0][0], 9.0f);
    EXPECT_EQ(MeasurementRecord.DisplayMin[0][0], -9.5f);
    paints = 0;
    ProcessMessages();
    EXPECT_GE(paints, 1);
    EXPECT_NE(Form1->PaintBox1->Surface(), before);

    // Channel 1, sensor -10..110: five units a click; the top is already the
    // sensor's, so nothing moves and nothing is repainted.
    Form1->SBmax1->ClickUp();
    paints = 0;
    ProcessMessages();
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(MeasurementRecord.DisplayMax[0][1], 110.0f);
    Form1->SBmin1->ClickUp();
    EXPECT_EQ(MeasurementRecord.DisplayMin[0][1], -5.0f);
    Form1->SBmin1->ClickDown();
    Form1->SBmin1->ClickDown();
    EXPECT_EQ(MeasurementRecord.DisplayMin[0][1], -10.0f);

    // Widened back: the first picture again.
    Form1->SBmax0->ClickUp();
    Form1->SBmax0->ClickUp();
    Form1->SBmin0->ClickDown();
    ProcessMessages();
    EXPECT_EQ(Form1->PaintBox1->Surface(), before);
    EXPECT_EQ(PixelOf(Form1->PaintBox1, 1, 1), back);
}

TEST_F(StylesTest, RangeButtonsInXYKeepZeroInsideTheRange) {
    Form1->RGVoie->SetItemIndex(3); // "XY"
    ASSERT_EQ(Form1->AcqMode, 3);
    MeasurementRecord.DisplayMax[0][0] = 0.3f;
    Form1->SBmax0->ClickDown();
    EXPECT_EQ(MeasurementRecord.DisplayMax[0][0], 0.5f);
    for (int i = 0; i < 30; ++i)
        Form1->SBmin1->ClickUp();
    EXPECT_EQ(MeasurementRecord.DisplayMin[0][1], 0.0f);
}

// ---------------------------------------------------------- options files

class OptionsTest : public WorkbenchTest {
protected:
    std::filesystem::path OwnFile() const { return InFolder("Kestrova.INI"); }
    std::filesystem::path FactoryFile() const { return InFolder("original.INI"); }
    static void WriteText(const std::filesystem::path& path, const std::string& text) {
        WriteBytes(path, text.data(), text.size());
    }
    // A start without interface: the options are loaded all the same.
    void StartWithoutInterface() {
        Rig.Device().Disconnect();
        Guard.Dialogs.Answer(ModalResult::Cancel, "L'interface de mesure n'est pas branch");
        ASSERT_EQ(Start(), StartResult::Running);
        Form1->ShowForm();
        ProcessMessages();
    }
};

TEST_F(OptionsTest, OwnFileAtStartSetsStylesAndDisplayPanels) {
    WriteText(OwnFile(), "[couleurs]\r\n"
                         "fond=00123456\r\n"
                         "courbe31=000000ff\r\n"
                         "fond aff 1=00000000\r\n"
                         "texte aff 1=0000FFFF\r\n"
                         "[epaisseurs]\r\n"
                         "axe=pas un nombre\r\n"
                         "courbe31=7\r\n"
                         "[points]\r\n"
                         "forme 21=9\r\n");
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    const workbench::GraphStyle& style = Form1->Style;
    EXPECT_EQ(style.BackgroundColor, 0x00123456u);
    EXPECT_EQ(style.CurveColor[2][1], 0x000000FFu);
    EXPECT_EQ(style.CurveWidth[2][1], 7);
    EXPECT_EQ(style.AxisWidth, 2); // not a number: its default, and no message
    EXPECT_EQ(style.PointStyle[1][1].Shape, 9);
    EXPECT_EQ(PixelOf(Form1->PaintBox1, 1, 1), 0x00123456u);
    EXPECT_EQ(Form1->PanelY1->Color(), 0x00000000u);
    EXPECT_EQ(Form1->PanelY1->Font().Color, 0x0000FFFFu);
    // Keys the file lacks: the defaults.
    EXPECT_EQ(Form1->PanelY0->Color(), 0x00CCAACCu);
    EXPECT_EQ(Form1->PanelY0->Font().Color, 0x00CCAACCu);
    EXPECT_EQ(style.GridColor[0], 0x00CCAAAAu);
    EXPECT_TRUE(Messages().empty());

    // The loaded shape 9 steps to 0.
    Form1->BtForme21->Click();
    EXPECT_EQ(style.PointStyle[1][1].Shape, 0);
}

TEST_F(OptionsTest, SavedOptionsComeBackAtTheNextStart) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    Guard.Dialogs.AnswerColor(0x00ABCDEF);
    Form1->Couleurdufond1->Click();
    Guard.Dialogs.AnswerColor(0x00010203);
    Form1->Couleurgrille2->Click();
    Form1->N3points->Click();
    Form1->Style.CurveWidth[3][1] = 5;
    Form1->Style.PointStyle[2][0].Shape = 3;
    Form1->PanelY0->SetColor(0x00000000);

    Form1->Enregistreroptions1->Click();
    const std::string saved = Text(OwnFile());
    EXPECT_NE(saved.find("[couleurs]\r\nfond=00ABCDEF\r\naxe 0=00000000\r\n"), std::string::npos);
    EXPECT_NE(saved.find("grille 1=00010203\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[epaisseurs]\r\naxe=3\r\n"), std::string::npos);
    EXPECT_NE(saved.find("courbe41=5\r\n[points]\r\n"), std::string::npos);
    EXPECT_NE(saved.find("forme 30=3\r\n"), std::string::npos);
    // Twice in a row: the same bytes.
    Form1->Enregistreroptions1->Click();
    EXPECT_EQ(Text(OwnFile()), saved);

    // A new start of the program, here without interface.
    TearDown();
    SetUp();
    StartWithoutInterface();
    const workbench::GraphStyle& style = Form1->Style;
    EXPECT_EQ(style.BackgroundColor, 0x00ABCDEFu);
    EXPECT_EQ(style.GridColor[1], 0x00010203u);
    EXPECT_EQ(style.AxisWidth, 3);
    EXPECT_EQ(style.CurveWidth[3][1], 5);
    EXPECT_EQ(style.PointStyle[2][0].Shape, 3);
    EXPECT_EQ(Form1->PanelY0->Color(), 0x00000000u);
    Form1->PB10->Repaint();
    EXPECT_EQ(PixelOf(Form1->PB10, 13, 0), 0x00ABCDEFu);
}

TEST_F(OptionsTest, ReinitialiserPutsTheFactoryValuesIntoEffectAndIntoTheOwnFile) {
    // The factory file lacks "courbe21" and the whole "points" section.
    const std::string factory = "[couleurs]\r\n"
                                "fond=00E0E0E0\r\n"
                                "fond aff 0=00000000\r\n"
                                "texte aff 0=0000FF00\r\n"
                                "[epaisseurs]\r\n"
                                "axe=1\r\n";
    WriteText(FactoryFile(), factory);
    WriteText(OwnFile(), "; mes réglages\r\n"
                         "[couleurs]\r\n"
                         "fond=00010101\r\n"
                         "courbe21=00445566\r\n"
                         "perso=1\r\n"
                         "[points]\r\n"
                         "forme 10=3\r\n");
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    ASSERT_EQ(Form1->Style.CurveColor[1][1], 0x00445566u);

    Form1->RAZparams->Click();
    const workbench::GraphStyle& style = Form1->Style;
    EXPECT_EQ(style.BackgroundColor, 0x00E0E0E0u);
    EXPECT_EQ(style.CurveColor[1][1], 0x00CCAACCu); // the default
    EXPECT_EQ(style.PointStyle[0][0].Shape, 1);
    EXPECT_EQ(style.AxisWidth, 1);
    EXPECT_EQ(Form1->PanelY0->Font().Color, 0x0000FF00u);
    EXPECT_EQ(PixelOf(Form1->PaintBox1, 1, 1), 0x00E0E0E0u);
    EXPECT_EQ(PixelOf(Form1->PB41, 13, 0), 0x00E0E0E0u);

    // The own file: the factory values, the defaults for what the factory
    // file lacks, the other lines as they were.
    platform::IniFile own(OwnFile().string());
    EXPECT_EQ(own.ReadString("couleurs", "fond", "?"), "00E0E0E0");
    EXPECT_EQ(own.ReadString("couleurs", "courbe21", "?"), "00CCAACC");
    EXPECT_EQ(own.ReadString("points", "forme 10", "?"), "1");
    EXPECT_EQ(own.ReadString("epaisseurs", "axe", "?"), "1");
    EXPECT_EQ(own.ReadString("couleurs", "perso", "?"), "1");
    EXPECT_EQ(Text(OwnFile()).rfind("; mes réglages\r\n[couleurs]\r\nfond=00E0E0E0\r\n", 0), 0u);
    // The factory file is only read.
    EXPECT_EQ(Text(FactoryFile()), factory);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OptionsTest, AnUnwritableOwnFileIsToldOnceAndTheValuesStay) {
    // The own file's place is taken by a folder (tests run as root: a
    // read-only file would still be written).
    std::filesystem::create_directory(OwnFile());
    WriteText(FactoryFile(), "[couleurs]\r\nfond=00E0E0E0\r\n");
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    EXPECT_EQ(Form1->Style.BackgroundColor, 0x00FFFFFFu);
    const std::string message = "Impossible d'écrire dans " + OwnFile().string();

    Guard.Dialogs.Answer(ModalResult::Ok, message);
    Form1->Enregistreroptions1->Click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Type, MsgType::Error);
    EXPECT_EQ(Messages()[0].Buttons, platform::MbOk);

    // "Réinitialiser": the factory values in effect and shown all the same.
    Guard.Dialogs.Answer(ModalResult::Ok, message);
    Form1->RAZparams->Click();
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Form1->Style.BackgroundColor, 0x00E0E0E0u);
    EXPECT_EQ(PixelOf(Form1->PaintBox1, 1, 1), 0x00E0E0E0u);
    EXPECT_TRUE(std::filesystem::is_directory(OwnFile()));
}

TEST_F(OptionsTest, WithoutAnyFileReinitialiserWritesTheDefaults) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    Form1->Style.BackgroundColor = 0x00010203;
    Form1->RAZparams->Click();
    EXPECT_EQ(Form1->Style.BackgroundColor, 0x00FFFFFFu);
    EXPECT_EQ(FileBytes(OwnFile()), FileBytes(KESTROVA_TEST_DATA "/options_defaults.INI"));
    EXPECT_FALSE(std::filesystem::exists(FactoryFile()));
}

} // namespace
} // namespace wbtest
