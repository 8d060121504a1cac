// "Enregistrer", "Lire" and the file named on the command line, as the
// window does them.
#include "WorkbenchFixture.h"

#include "model/MeasurementFile.h"

using namespace kvel1;

namespace wbtest {
namespace {

using platform::ModalResult;

constexpr const char* SaveQuestion = "Voulez-vous enregistrer les mesures\ravant de les effacer";
constexpr const char* ReplaceQuestion = "Voulez-vous remplacer les mesures affichées";

// A record of `series` series with points, as a measurement leaves it.
workbench::MeasurementSet SampleRecord(int series) {
    workbench::MeasurementSet record;
    workbench::PresetMeasurementSet(record);
    record.SeriesCount = static_cast<uint8_t>(series);
    record.ShownSeries = static_cast<uint8_t>(series);
    record.DeltaTIndex = 3;
    for (int s = 0; s < series; ++s) {
        record.PointCount[s] = 95;
        workbench::SetShortString(record.SeriesUnit[s][0], "V");
        workbench::SetShortString(record.SeriesLabel[s][0], "Tension");
        for (int k = 0; k < 95; ++k) {
            record.PointTime[s][k] = 5.0f * static_cast<float>(k);
            record.PointValue[s][0][k] = 0.1f * static_cast<float>(k + s);
        }
    }
    record.PointValue[0][1][7] = 3.0e12f;
    record.Reserved = 0x5A; // carries nothing, but a file keeps it
    return record;
}

class FileWindowTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    }

    // A file holding `record`.
    std::filesystem::path WriteRecord(const std::string& name,
                                      const workbench::MeasurementSet& record) {
        const auto path = InFolder(name);
        WriteBytes(path, &record, sizeof record);
        return path;
    }
};

TEST_F(FileWindowTest, SaveThenLoadRoundTrip) {
    MeasurementRecord = SampleRecord(2);
    const std::vector<char> before = RecordBytes();
    const auto path = InFolder("serie.mrs");
    Guard.Dialogs.Answer(ModalResult::Yes, SaveQuestion).AnswerSave(path.string());
    EXPECT_TRUE(Form1->ActionRAZExecute());

    EXPECT_EQ(FileBytes(path), before);
    ASSERT_EQ(Guard.Dialogs.Records().size(), 2u);
    const platform::FileDialogRequest& save = Guard.Dialogs.Records()[1].File;
    EXPECT_EQ(save.Title, "Enregistrement des mesures");
    EXPECT_EQ(save.FileName, ""); // no name proposed, the filter shows the files
    EXPECT_EQ(save.DefaultExt, "mrs");
    EXPECT_EQ(Messages()[0].Caption, "Confirmation");
    EXPECT_EQ(Messages()[0].Buttons, platform::MbYes | platform::MbNo);
    // Cleared and back to live values.
    EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
    EXPECT_EQ(MeasurementRecord.ShownSeries, 0);
    EXPECT_EQ(Form1->LiveMode, 1);
    EXPECT_EQ(Form1->SelectedSeries, 1);
    EXPECT_EQ(Form1->MeasuredSeries, 0);
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_TRUE(Form1->RGVoie->Visible());
    EXPECT_FALSE(Form1->GroupBoxTrace->Visible());

    // "Lire": no question while no series is shown.
    Guard.Dialogs.AnswerOpen(path.string());
    Form1->ActionLireExecute();
    EXPECT_EQ(RecordBytes(), before);
    EXPECT_EQ(Form1->LiveMode, 0);
    EXPECT_EQ(Form1->SelectedSeries, 2);
    EXPECT_EQ(Form1->MeasuredSeries, 2);
    EXPECT_EQ(Form1->Label12->Caption(), "serie.mrs");
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_EQ(Form1->RGVoie->Items.Items(),
              (std::vector<std::string>{"Y1", "Y2", "YY", "XY", "man."}));
    EXPECT_EQ(Form1->RGVoie->ItemIndex(), 0);
    EXPECT_TRUE(Form1->GroupBoxTrace->Visible());
    EXPECT_TRUE(Form1->PanelBTS->Visible());
    EXPECT_FALSE(Form1->PanelAfficheurs->Visible());
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    EXPECT_FALSE(Form1->ActionAfficheurs->Enabled());
    EXPECT_EQ(Form1->GraphShown, 1);
    const platform::FileDialogRequest& open = Guard.Dialogs.Records().back().File;
    EXPECT_EQ(open.FileName, "*.mrs");
    EXPECT_EQ(open.DefaultExt, "mrs");

    // Loaded, then saved again: the same bytes.
    RunFor(3000); // no live tick touches a loaded file
    const auto again = InFolder("encore.mrs");
    Guard.Dialogs.Answer(ModalResult::Yes, SaveQuestion).AnswerSave(again.string());
    EXPECT_TRUE(Form1->ActionRAZExecute());
    EXPECT_EQ(FileBytes(again), before);
}

TEST_F(FileWindowTest, SaveAnsweredNoClearsAndCancelledDialogKeeps) {
    MeasurementRecord = SampleRecord(3);
    Guard.Dialogs.Answer(ModalResult::Yes, SaveQuestion).AnswerSave("");
    EXPECT_FALSE(Form1->ActionRAZExecute());
    EXPECT_EQ(MeasurementRecord.SeriesCount, 3);

    Guard.Dialogs.Answer(ModalResult::No, SaveQuestion);
    EXPECT_TRUE(Form1->ActionRAZExecute());
    EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
    EXPECT_EQ(MeasurementRecord.PointCount[2], 95); // the points stay in the record
}

// What the user typed in the save dialog, and the file that gets written.
TEST_F(FileWindowTest, ChosenNameGetsTheExtensionAndAPatternIsNeverWritten) {
    struct Case {
        const char* Typed;
        const char* Written; // nullptr: refused, nothing written
    };
    const Case cases[] = {
        {"serie", "serie.mrs"}, {"tp.MRS", "tp.MRS"}, {"notes.txt", "notes.txt"},
        {"*.mrs", nullptr},     {"essai?", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        MeasurementRecord = SampleRecord(2);
        const std::vector<char> before = RecordBytes();
        Guard.Dialogs.Answer(ModalResult::Yes, SaveQuestion).AnswerSave(InFolder(c.Typed).string());
        if (c.Written == nullptr)
            Guard.Dialogs.Answer(ModalResult::Ok, "Echec d'enregistrement");
        EXPECT_EQ(Form1->ActionRAZExecute(), c.Written != nullptr);
        if (c.Written != nullptr) {
            EXPECT_EQ(FileBytes(InFolder(c.Written)), before);
            EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
        } else {
            EXPECT_EQ(RecordBytes(), before); // nothing cleared
        }
        for (const auto& entry : std::filesystem::directory_iterator(InFolder("")))
            EXPECT_EQ(entry.path().filename().string().find_first_of("*?"), std::string::npos);
        Guard.Dialogs.Clear();
    }
}

TEST_F(FileWindowTest, FileThatCannotBeWrittenKeepsTheSeries) {
    MeasurementRecord = SampleRecord(2);
    Form1->Label12->SetCaption("ancien.mrs");
    const std::vector<char> before = RecordBytes();
    // A folder cannot be written as a file (tests run as root).
    std::filesystem::create_directory(InFolder("dossier.mrs"));
    Guard.Dialogs.Answer(ModalResult::Yes, SaveQuestion)
        .AnswerSave(InFolder("dossier.mrs").string())
        .Answer(ModalResult::Ok, "Echec d'enregistrement");
    EXPECT_FALSE(Form1->ActionRAZExecute());
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1].Caption, "Avertissement");
    EXPECT_EQ(Messages()[1].Buttons, platform::MbOk);
    EXPECT_EQ(RecordBytes(), before);
    EXPECT_EQ(Form1->Label12->Caption(), "ancien.mrs");
}

TEST_F(FileWindowTest, LoadOverShownPointsAsksFirst) {
    MeasurementRecord = SampleRecord(1);
    const auto path = WriteRecord("autre.mrs", SampleRecord(3));
    const std::vector<char> before = RecordBytes();
    Guard.Dialogs.Answer(ModalResult::No, ReplaceQuestion);
    Form1->ActionLireExecute();
    EXPECT_EQ(RecordBytes(), before);
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_EQ(Guard.Dialogs.Records().size(), 1u); // no file dialog

    Guard.Dialogs.Answer(ModalResult::Yes, ReplaceQuestion).AnswerOpen(path.string());
    Form1->ActionLireExecute();
    EXPECT_EQ(MeasurementRecord.SeriesCount, 3);
    EXPECT_EQ(Form1->SelectedSeries, 3);
}

struct RefusedCase {
    const char* Name;
    std::function<std::vector<char>()> Bytes;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.Name;
}

class RefusedFileTest : public FileWindowTest, public ::testing::WithParamInterface<RefusedCase> {};

std::vector<char> BytesOf(const workbench::MeasurementSet& record) {
    const auto* bytes = reinterpret_cast<const char*>(&record);
    return {bytes, bytes + sizeof record};
}

TEST_P(RefusedFileTest, RecordUnchangedAndWindowLeftForFiles) {
    const std::vector<char> bytes = GetParam().Bytes();
    const auto path = InFolder("refuse.mrs");
    WriteBytes(path, bytes.data(), bytes.size());
    const std::vector<char> before = RecordBytes();

    Guard.Dialogs.AnswerOpen(path.string()).Answer(ModalResult::Ok, "Echec de chargement");
    Form1->ActionLireExecute();

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text, "Echec de chargement");
    EXPECT_EQ(Messages()[0].Caption, "Avertissement");
    EXPECT_EQ(RecordBytes(), before);
    EXPECT_EQ(Form1->Label12->Caption(), "refuse.mrs");
    EXPECT_EQ(Form1->LiveMode, 1);
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_EQ(Form1->PanelY0->Caption(), "");
    EXPECT_FALSE(Form1->PanelAfficheurs->Visible());
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    EXPECT_FALSE(Form1->GroupBoxTrace->Visible());
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFileTest,
    ::testing::Values(RefusedCase{"OneByteShort",
                                  [] {
                                      auto bytes = BytesOf(SampleRecord(2));
                                      bytes.pop_back();
                                      return bytes;
                                  }},
                      RefusedCase{"NoSeries", [] { return BytesOf(SampleRecord(0)); }},
                      RefusedCase{"FiveSeries",
                                  [] {
                                      auto record = SampleRecord(4);
                                      record.SeriesCount = 5;
                                      return BytesOf(record);
                                  }},
                      RefusedCase{"PointCountBeyondTheSeries",
                                  [] {
                                      auto record = SampleRecord(2);
                                      record.PointCount[1] = 201;
                                      return BytesOf(record);
                                  }},
                      RefusedCase{"DisplayRangeNotANumber",
                                  [] {
                                      auto record = SampleRecord(1);
                                      record.DisplayMax[0][0] =
                                          std::numeric_limits<float>::quiet_NaN();
                                      return BytesOf(record);
                                  }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FileWindowTest, LongerFileLoadsFromItsFirstRecord) {
    std::vector<char> bytes = BytesOf(SampleRecord(4));
    const std::vector<char> record = bytes;
    bytes.insert(bytes.end(), 100, '\x7F');
    const auto path = InFolder("long.mrs");
    WriteBytes(path, bytes.data(), bytes.size());
    Guard.Dialogs.AnswerOpen(path.string());
    Form1->ActionLireExecute();
    EXPECT_EQ(RecordBytes(), record);
    EXPECT_EQ(Form1->SelectedSeries, 4);
}

// The command line, started again with an argument.
class CommandLineTest : public WorkbenchTest {
protected:
    std::filesystem::path WriteRecord(const std::string& name, const workbench::MeasurementSet& r) {
        const auto path = InFolder(name);
        WriteBytes(path, &r, sizeof r);
        return path;
    }
};

TEST_F(CommandLineTest, CapitalExtensionLoadsSilently) {
    Rig.Plug(0, sim::FixtureA);
    const workbench::MeasurementSet file = SampleRecord(3);
    const auto path = WriteRecord("TP1.MRS", file);
    ASSERT_EQ(Start({path.string()}), StartResult::Running);
    EXPECT_TRUE(Guard.Dialogs.Records().empty());
    EXPECT_EQ(RecordBytes(), BytesOf(file));
    EXPECT_EQ(Form1->Label12->Caption(), "TP1.MRS");
    EXPECT_EQ(Form1->LiveMode, 0);
    EXPECT_EQ(Form1->SelectedSeries, 3);
    EXPECT_TRUE(Form1->GroupBoxTrace->Visible());
    EXPECT_TRUE(Form1->RGVoie->Enabled());
    EXPECT_FALSE(Form1->PanelAfficheurs->Visible());
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    // The loaded file stays as it is: no live tick rewrites its headers.
    EXPECT_FALSE(Form1->Timer->Enabled());
    const int64_t since = Rig.NowUs();
    RunFor(2000);
    EXPECT_TRUE(Frames(Rig, since).empty());
}

TEST_F(CommandLineTest, OtherExtensionOnlyShowsTheName) {
    Rig.Plug(0, sim::FixtureA);
    const auto path = WriteRecord("TP1.txt", SampleRecord(3));
    ASSERT_EQ(Start({path.string()}), StartResult::Running);
    EXPECT_EQ(Form1->Label12->Caption(), "TP1.txt");
    EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
    EXPECT_EQ(Form1->LiveMode, 1);
    EXPECT_TRUE(Form1->Timer->Enabled());
}

TEST_F(CommandLineTest, MissingFileShowsNothing) {
    Rig.Plug(0, sim::FixtureA);
    ASSERT_EQ(Start({InFolder("absent.mrs").string()}), StartResult::Running);
    EXPECT_EQ(Form1->Label12->Caption(), "");
    EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
}

TEST_F(CommandLineTest, RefusedFileIsIgnoredWithoutMessage) {
    Rig.Plug(0, sim::FixtureA);
    const auto path = WriteRecord("vide.mrs", SampleRecord(0));
    ASSERT_EQ(Start({path.string()}), StartResult::Running);
    EXPECT_TRUE(Guard.Dialogs.Records().empty());
    EXPECT_EQ(Form1->Label12->Caption(), "vide.mrs");
    EXPECT_EQ(Form1->LiveMode, 1);
    EXPECT_TRUE(Form1->Timer->Enabled());
}

TEST_F(CommandLineTest, WithoutInterfaceTheLoadedFileIsShown) {
    Rig.Device().Disconnect();
    Guard.Dialogs.Answer(ModalResult::Cancel, "n'est pas branchée");
    const auto path = WriteRecord("TP2.mrs", SampleRecord(1));
    ASSERT_EQ(Start({path.string()}), StartResult::Running);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(Form1->GraphShown, 1);
    Form1->ShowForm();
    Form1->PaintBox1->Repaint();
    // A frame is drawn: the graph is no longer all in the clear colour.
    const QImage& graph = Form1->PaintBox1->Surface();
    int notBlack = 0;
    for (int y = 0; y < graph.height(); y += 3)
        for (int x = 0; x < graph.width(); x += 3)
            notBlack += (graph.pixel(x, y) & 0xFFFFFF) != 0 ? 1 : 0;
    EXPECT_GT(notBlack, 100);
}

} // namespace
} // namespace wbtest
