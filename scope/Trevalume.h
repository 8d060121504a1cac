// The oscilloscope's main window: a picture of a front panel whose screen
// shows the sweeps and whose knobs, buttons and click zones are its controls.
//
//   TrevalumeForm.cpp    - the components, laid out from the panel layout table
//   TrevalumeStartup.cpp - creation, interface and sensor search, presence
//                          watch, about box, quitting and closing
//   TrevalumeSweeps.cpp  - the "O/1" button, the sweep loop and the drawing
//   TrevalumePanel.cpp   - the front-panel controls and the clipboard copies
//
// Everything runs on the GUI thread. The sweep loop runs inside the "O/1"
// click handler and lets the message loop run between sweeps, so every other
// handler may run nested inside it; each only changes the window state that
// the next sweep reads.
#pragma once

#include "TrevalumeTraces.h"
#include "panel_layout.h"
#include "tampon.h"

#include "gui/Vcl.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trevalume {

using namespace vcl;

class TForm1;

// The window, as the program creates it (nullptr before).
extern TForm1* Form1;

// Program-wide flags of the interface search.
// The interface was opened (read by quitting).
extern bool InterfaceOpen;
// The user cancelled a prompt of the search, or the search ended on a failure.
extern bool ConnectGivenUp;
// The picture files are looked up in the current directory, then beside this
// program file (empty: the running program).
extern std::string DataProgramPath;

// Texts of the window.
inline constexpr const char* DesignCaption = "Trevalume";
inline constexpr const char* DetectingCaption = "Détection...";
inline constexpr const char* NoSensorCaption = "Pas de capteur présent";
inline constexpr const char* NoSensorText = "Pas de capteur";
inline constexpr const char* InterfaceSilentText = "L'interface de mesure ne répond plus.";
// "Trevalume - VN et QD -TAVEN.Q | Voie 1 : " + a + " | Voie 2 : " + b.
std::string SensorsCaption(const std::string& textA, const std::string& textB);

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;

    // ---- components
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Fichier1 = nullptr;
    TMenuItem* Quitter1 = nullptr;
    TMenuItem* Edition1 = nullptr;
    TMenuItem* Copier1 = nullptr;
    TMenuItem* Copierloscillogramme1 = nullptr;
    TMenuItem* Aide1 = nullptr;
    TMenuItem* AideTrevalume1 = nullptr; // the help file, as the workbench's "Aide"
    TMenuItem* Apropos1 = nullptr;
    TTimer* Timer = nullptr;

    TImage* ArrierePlan = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    TSpeedButton* onoff = nullptr;
    TSpeedButton* SBTstop = nullptr;
    TSpeedButton* SBTrun = nullptr;
    TLabel* LabelIntensite = nullptr;
    TUpDown* UpDown1 = nullptr;
    TLabel* Label3 = nullptr;
    TUpDown* UpDown3 = nullptr;
    TLabel* Label1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TUpDown* UpDown2 = nullptr;
    TCheckBox* synchroauto = nullptr;
    TRadioButton* frontdesc = nullptr;
    TRadioButton* frontmont = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TRadioButton* voiesynchroA = nullptr;
    TRadioButton* voiesynchroB = nullptr;
    TLabel* Label2 = nullptr;
    TSpeedButton* modgraph1 = nullptr;
    TSpeedButton* modgraph2 = nullptr;
    TSpeedButton* modgraph3 = nullptr;
    TSpeedButton* BtYa = nullptr;
    TSpeedButton* BtXY = nullptr;
    TSpeedButton* BtYY = nullptr;
    TSpeedButton* BtYb = nullptr;
    TLabel* LabelSensibiliteYa = nullptr;
    TImage* FondBtYa = nullptr;
    TLabel* LabelSensibiliteYb = nullptr;
    TImage* FondBtYb = nullptr;
    TImage* FondBaseTemps = nullptr;
    TLabel* LabelBaseTemps = nullptr;
    TRadioGroup* RadioGroupYa = nullptr;
    TRadioGroup* RadioGroupYb = nullptr;
    // The click zones, in the order of PanelLayout::ClickZones.
    std::vector<TImage*> ClickZones;
    // The click zone of that name ("Ya01V", "Basetemps1ms", "Image1", ...).
    TImage* Zone(std::string_view name) const;

    // ---- window state (start values set by FormCreate)
    uint16_t GraphMargin = 0;
    uint16_t PlotWidth = 0;
    uint16_t PlotHeight = 0;
    TBitmap GraphBitmap;
    TBitmap ScreenBackground;
    double PixelsPerDivision = 0;
    double ScaleX = 0;
    std::array<double, 2> ScaleY{};
    std::array<int16_t, 2> VerticalOffset{};
    uint16_t XShift = 0;
    uint16_t OriginX = 0;
    std::array<int, 2> OriginY{};
    uint16_t PointHalfSize = 0;
    int32_t AcqMode = 0;
    bool Acquiring = false;
    double TimeStepMs = 0;
    double Elapsed = 0;
    bool GroundA = false;
    bool GroundB = false;
    uint8_t TriggerChannel = 0;
    uint8_t TriggerEdge = 0;
    uint16_t TriggerLevel = 0;

    // The last sweep, and the last block received while "run" was pressed.
    trevalume::SweepSet SweepSet;
    tampon::SampleBlock HeldBlock{};

    // ---- handlers
    void FormCreate();
    void FormClose(TCloseAction& action);
    void TimerTimer();
    void Quitter1Click();
    void Apropos1Click();
    void onoffClick();
    void PaintBox1Paint(TCanvas& canvas);
    void BtYaClick();
    void BtYbClick();
    void BtYYClick();
    void BtXYClick();
    void RadioGroupYaClick();
    void RadioGroupYbClick();
    void frontmontClick();
    void frontdescClick();
    void voiesynchroAMouseUp();
    void voiesynchroBMouseUp();
    void synchroautoClick();
    void UpDown1Click(TUDBtnType button);
    void UpDown2Click(TUDBtnType button);
    void UpDown3Click(TUDBtnType button);
    void Copier1Click();
    void Copierloscillogramme1Click();
    // The click zones, by kind: a sensitivity or time-base position, a
    // vertical position step, a horizontal shift step, the shift reset
    // (Image1).
    void SensitivityZoneClick(const PanelLayout::ClickZone& zone);
    void TimeBaseZoneClick(const PanelLayout::ClickZone& zone);
    void PositionZoneClick(const PanelLayout::ClickZone& zone);
    void ShiftZoneClick(const PanelLayout::ClickZone& zone);
    void Image1Click();

    // ---- tests
    // Sweeps drawn since the window was created.
    int SweepCount = 0;
    // Runs after each sweep is drawn, before the messages are processed (the
    // place of a user's action between two sweeps).
    std::function<void()> AfterSweep;
    // True while the sweep loop's handler is on the stack.
    bool SweepLoopRunning() const { return LoopRunning; }
    // The watch stopped for good because the interface stopped answering.
    bool InterfaceLost() const { return Lost; }
    // The trace settings the next drawing uses.
    trevalume::TraceSettings CurrentTraceSettings() const;

private:
    void BuildComponents();
    void BuildMenu();
    TImage* AddPicture(const char* name);
    TSpeedButton* AddSpeedButton(const char* name, const char* caption, int group);
    TLabel* AddLabel(const char* name, const char* caption);
    void PlaceFromLayout(TControl* control, const char* name);

    void ParametresParDefaut();
    void ConnectInterface();
    void DetectSensors();
    void RunSweeps();
    void DrawTraces();
    void StopSweeps();
    // Puts back what the front panel shows under the screen (the paint box
    // is see-through in the window's design), then runs its paint handler.
    void RepaintScreen();
    // One presence query of channel: true when its answer differs from the
    // presence before it (a failed query marks the channel empty). When the
    // interface has stopped answering, silent is set, the user is told and
    // the loop and the watch end (false).
    bool PresenceChanged(int channel, bool& silent);
    // The interface no longer answers: tells the user (once per start of the
    // loop), ends the sweep loop and leaves the presence watch off.
    void InterfaceStoppedAnswering();
    // The display mode buttons: the mode; while the loop runs, the clicked
    // button's caption red and "run" pressed.
    void DisplayModeClick(int mode, TSpeedButton* clicked);
    void SetCaptionColour(TSpeedButton* button, TColor colour);
    void ColourModeButtons();
    void LoadKnobPicture(TImage* knob, std::string_view fileName);

    bool LoopRunning = false;
    // The sweep loop saw a presence change: the watch's next tick runs the
    // sensor detection.
    bool DetectionDue = false;
    bool Lost = false;
    // The user was told during this run of the loop (or of the watch).
    bool LostTold = false;
};

} // namespace trevalume
