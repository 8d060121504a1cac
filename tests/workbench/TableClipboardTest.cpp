// The measurement table beside the graph and the two clipboard copies: what
// the table shows for the selected series and mode, when it follows the
// record, what lands on the clipboard and the notices that follow.
#include "WorkbenchFixture.h"

#include "gui/Clipbrd.h"
#include "model/MeasurementFile.h"
#include "model/TimeBase.h"

namespace wbtest {
namespace {

using platform::ModalResult;

constexpr const char* TableNotice = "Le tableau de mesures\r\nest dans le presse-papiers";
constexpr const char* GraphNotice = "L'image du graphique\r\nest dans le presse-papiers";
constexpr int Row400Ms = 10;

// Two series: series 1 of two points "Tension" (V, 2 decimals) against
// "Intensité" (mA, 1 decimal); series 2 of three points.
workbench::MeasurementSet TwoSeries() {
    workbench::MeasurementSet record;
    workbench::PresetMeasurementSet(record);
    record.SeriesCount = record.ShownSeries = 2;
    record.DeltaTIndex = 3;
    for (int s = 0; s < 2; ++s) {
        SetVoltCurrentHeaders(record, s + 1);
        record.PointCount[s] = 2 + s;
        for (int k = 0; k < 2 + s; ++k) {
            record.PointTime[s][k] = 0.5f * k;
            record.PointValue[s][0][k] = 1.25f + 0.05f * k + s;
            record.PointValue[s][1][k] = 7.0f + k;
        }
    }
    return record;
}

class TableClipboardTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    }

    void LoadTwoSeries() { LoadRecord(TwoSeries()); }

    static void ChooseMode(const std::string& item) {
        Form1->RGVoie->SetItemIndex(Form1->RGVoie->Items.IndexOf(item));
    }

    // The table's cells, row by row.
    static std::vector<std::vector<std::string>> Cells() {
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < Form1->Table->RowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < Form1->Table->ColCount(); ++c)
                row.push_back(Form1->Table->Cells(c, r));
            rows.push_back(row);
        }
        return rows;
    }

    std::string CopyTable() {
        Guard.Dialogs.Answer(ModalResult::Ok, TableNotice);
        Form1->ActionCopierTableau->Execute();
        return Clipboard()->AsText();
    }
};

using Rows = std::vector<std::vector<std::string>>;

TEST_F(TableClipboardTest, TableauShowsTheSelectedSeriesAndGivesTheGraphItsRoomBack) {
    LoadTwoSeries();
    const int graphWidth = Form1->PaintBox1->Width();
    ASSERT_FALSE(Form1->Table->Visible());

    Form1->ActionTable->Execute();
    EXPECT_TRUE(Form1->Table->Visible());
    EXPECT_TRUE(Form1->ActionTable->Checked());
    EXPECT_EQ(Form1->PaintBox1->Width(), graphWidth - Form1->Table->Width());
    EXPECT_EQ(Cells(), (Rows{{"n°", "date (ms)", "Tension (V)", ""},
                             {"1", "0,0", "2,25", ""},
                             {"2", "0,5", "2,30", ""},
                             {"3", "1,0", "2,35", ""}}));
    EXPECT_EQ(Form1->Table->Row(), 3); // the newest point in view

    // A selection shows its series at once.
    Form1->BTS1->Click();
    EXPECT_EQ(Form1->Table->RowCount(), 3);
    EXPECT_EQ(Form1->Table->Cells(2, 2), "1,30");
    EXPECT_EQ(Form1->Table->Row(), 2);
    // So does a change of mode.
    ChooseMode("YY");
    EXPECT_EQ(Cells()[0],
              (std::vector<std::string>{"n°", "date (ms)", "Tension (V)", "Intensité (mA)"}));
    EXPECT_EQ(Cells()[1], (std::vector<std::string>{"1", "0,0", "1,25", "7,0"}));

    const int withTable = Form1->PaintBox1->Width(); // "YY" shows both range panels
    Form1->ActionTable->Execute();
    EXPECT_FALSE(Form1->Table->Visible());
    EXPECT_FALSE(Form1->ActionTable->Checked());
    EXPECT_EQ(Form1->PaintBox1->Width(), withTable + Form1->Table->Width());
}

TEST_F(TableClipboardTest, CopierTableauPutsEveryCellAndLineOnTheClipboard) {
    LoadTwoSeries();
    Form1->BTS1->Click();
    // The table need not be shown.
    EXPECT_EQ(CopyTable(), "n°\tdate (ms)\tTension (V)\t\t\r\n"
                           "1\t0,0\t1,25\t\t\r\n"
                           "2\t0,5\t1,30\t\t\r\n");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Type, platform::MsgType::Information);
    EXPECT_EQ(Messages()[0].Caption, "");

    // In XY the horizontal channel comes first, without times.
    ChooseMode("XY");
    EXPECT_EQ(CopyTable(), "n°\tIntensité (mA)\tTension (V)\t\t\r\n"
                           "1\t7,0\t1,25\t\t\r\n"
                           "2\t8,0\t1,30\t\t\r\n");
    // In the manual mode the validated points: none here.
    ChooseMode("man.");
    EXPECT_EQ(CopyTable(), "n°\tIntensité (mA)\tTension (V)\t\t\r\n");
}

// "Enregistrer" clears the series (their points stay in the record, unheld):
// the table and its copy show none of them, as the graph shows none.
TEST_F(TableClipboardTest, SeriesClearedByEnregistrerLeaveTheTableEmpty) {
    LoadTwoSeries();
    Form1->ActionTable->Execute();
    ASSERT_EQ(Form1->Table->RowCount(), 4);

    Guard.Dialogs.Answer(ModalResult::No,
                         "Voulez-vous enregistrer les mesures\ravant de les effacer");
    ASSERT_TRUE(Form1->ActionRAZExecute());

    EXPECT_EQ(Cells(), (Rows{{"n°", "date (ms)", "Tension (V)", ""}}));
    EXPECT_EQ(CopyTable(), "n°\tdate (ms)\tTension (V)\t\t\r\n");
}

TEST_F(TableClipboardTest, CopierGraphiqueIsTheGraphAsLastDrawn) {
    LoadTwoSeries();
    ProcessMessages();
    const QImage shown = Form1->PaintBox1->Surface().copy();
    // Drawn on the box only: not in the picture.
    TCanvas* canvas = Form1->PaintBox1->Canvas();
    canvas->Pen.Color = clRed;
    canvas->MoveTo(100, 0);
    canvas->LineTo(100, 50);

    Guard.Dialogs.Answer(ModalResult::Ok, GraphNotice);
    Form1->ActionCopierImage->Execute();

    ASSERT_TRUE(Clipboard()->HasPicture());
    const QImage picture = Clipboard()->Picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), shown.size());
    EXPECT_TRUE(picture == shown.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Messages().size(), 1u);
}

// A one-channel series above 300 ms per point refreshes the table after each
// point; at 300 ms and less, and in two channels, it does at the end.
struct RefreshCase {
    const char* Name;
    const char* Mode;
    int Row;
    int RowsAfterTwoTicks; // table rows, header included
};
void PrintTo(const RefreshCase& c, std::ostream* os) {
    *os << c.Name;
}
class TableRefreshTest : public TableClipboardTest,
                         public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(TableRefreshTest, TheShownTableFollowsTheTimedSeries) {
    const RefreshCase& c = GetParam();
    ChooseMode(c.Mode);
    Form1->CBdelta_t->DropDown();
    Form1->CBdelta_t->CloseUp(c.Row);
    Form1->NbMesures->SetValue(10);
    Form1->CBmonoCoup->SetChecked(true);
    Form1->ActionTable->Execute();
    Form1->ActionNouvelleMesure->Execute();
    const uint32_t step = static_cast<uint32_t>(workbench::TimeBaseMs[c.Row]);
    RunFor(2 * step + step / 2);
    EXPECT_EQ(Form1->Table->RowCount(), c.RowsAfterTwoTicks);
    ASSERT_TRUE(RunUntil([] { return Form1->AcqState == 0; }, 12 * step));
    EXPECT_EQ(Form1->Table->RowCount(), 11);
    EXPECT_EQ(Form1->Table->Row(), 10);
}

INSTANTIATE_TEST_SUITE_P(Intervals, TableRefreshTest,
                         ::testing::Values(RefreshCase{"OneChannelFourHundredMs", "Y1", Row400Ms,
                                                       4},
                                           RefreshCase{"OneChannelThreeHundredMs", "Y1", 9, 1},
                                           RefreshCase{"TwoChannels", "YY", Row400Ms, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace wbtest
