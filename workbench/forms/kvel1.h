// The workbench's main window: the live displays of both channels, the
// acquisition settings panel, the graph with its range buttons, the table and
// the two tool bars.
//
// The window is one class; its work is split by concern over several files:
//   kvel1.cpp             window-wide state, handler bindings, program-wide state
//   kvel1_layout.cpp      the components and their design-time settings
//   kvel1_startup.cpp     FormCreate, the interface search, quitting, help, about box
//   kvel1_live.cpp        sensor detection, the live tick, the display panels
//   kvel1_files.cpp       the measurement record's series header, "Enregistrer",
//                         "Lire" and the command-line file
//   kvel1_graph.cpp       the graph box's painting
//   kvel1_acquisition.cpp acquisition settings, block and timed acquisitions
//   kvel1_actions.cpp     the measurement actions and the window's key handler
//   kvel1_series.cpp      series controls, erasing a series, the settings panel action
//   kvel1_cursors.cpp     the graph's mouse: readouts, period cursors, manual lines
//   kvel1_table.cpp       the measurement table and the clipboard copies
//   kvel1_styles.cpp      series styles, graph colours and the range buttons
//   kvel1_options.cpp     the options files
//   kvel1_adjust.cpp      zero adjustment and oxygen probe calibration
//   kvel1_print.cpp       printing the graph
#pragma once

#include "graph/GraphTypes.h"
#include "graph/SeriesStyle.h"
#include "gui/Vcl.h"
#include "model/DisplayRange.h"
#include "model/MeasurementSet.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvel1 {

using namespace vcl;

// Unit-wide state of the main window.
extern bool InterfaceOpen;   // the interface was opened and not yet closed
extern bool ConnectGivenUp;  // the interface or sensor search was given up
extern int32_t PrinterIndex; // printer of the last print; -1: the default printer

// The path whose folder and name place the options files; empty: the running
// program's (tests point it into a folder of their own).
extern std::string OptionsProgramPath;

// The measurement record: one for the whole program, and at the same time
// the contents of a ".mrs" file.
extern workbench::MeasurementSet MeasurementRecord;

// A pixel position of the manual line being drawn.
struct TLinePoint {
    int32_t X = 0;
    int32_t Y = 0;
};

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;

    // ---------------------------------------------------------------- actions
    // Top tool bar (captions).
    TAction* ActionQuitter;
    TAction* ActionLire;
    TAction* ActionRAZ;
    TAction* ActionAfficheurs;
    TAction* ActionAffGeants;
    TAction* ActionTable;
    TAction* ActionCopierTableau;
    TAction* ActionCopierImage;
    TAction* ActionAide1;
    TAction* ActionApropos;
    // Right tool bar (pictures only).
    TAction* ActionPanneauReglages;
    TAction* ActionNouvelleMesure;
    TAction* ActionRefaireMesure;
    TAction* ActionFinMesures;
    TAction* ActionValiderXY;
    TAction* ActionRevaliderXY;
    TImageList* ImageList1; // pictures of the right tool bar, by index

    TActionToolBar* ActionToolBar1;
    TActionToolBar* ActionToolBar2;

    // ------------------------------------------------------ settings panel
    TPanel* PanelBoutons;
    TRadioGroup* RGVoie;

    TGroupBox* GroupBoxSynchro;
    TCheckBox* CBDec;
    TRadioGroup* RGfront;
    TRadioGroup* RGvoieSynchro;
    TLabel* LabelNiveau; // "niveau"
    TPanel* Pnivdec;
    TSpinButton* SBnivdec;
    TCheckBox* CBmonoCoup;

    TGroupBox* GroupBoxTemps;
    TLabel* LabelDeltaT; // "Delta t"
    TComboBox* CBdelta_t;
    TLabel* LabelNbMesures; // "Nombre de mesures"
    TSpinEdit* NbMesures;
    TLabel* LabelDureeTitre; // "Durée Totale :"
    TLabel* LabelDuree;

    TGroupBox* GroupBoxTrace;
    TPanel* PanelBTS;
    TSpeedButton* BTS1;
    TSpeedButton* BTS2;
    TSpeedButton* BTS3;
    TSpeedButton* BTS4;
    TGroupBox* GBS1;
    TGroupBox* GBS2;
    TGroupBox* GBS3;
    TGroupBox* GBS4;
    // Display check boxes: pale (g), line (L), points (p); channel 1 and 2.
    TCheckBox *cbS1g1, *cbs1L1, *cbs1p1, *cbs1g2, *cbs1L2, *cbs1p2;
    TCheckBox *cbs2g1, *cbs2L1, *cbs2p1, *cbs2g2, *cbs2L2, *cbs2p2;
    TCheckBox *cbs3g1, *cbs3L1, *cbs3p1, *cbs3g2, *cbs3L2, *cbs3p2;
    TCheckBox *cbs4g1, *cbs4L1, *cbs4p1, *cbs4g2, *cbs4L2, *cbs4p2;
    // Style samples, by series and channel.
    TPaintBox *PB10, *PB11, *PB20, *PB21, *PB30, *PB31, *PB40, *PB41;
    // Style buttons: outline colour ("o"), fill colour, shape ("x").
    TButton *Btbord10, *Btbord11, *BtBord20, *BtBord21, *BtBord30, *BtBord31, *BtBord40, *BtBord41;
    TButton *Btint10, *Btint11, *Btint20, *Btint21, *Btint30, *Btint31, *Btint40, *Btint41;
    TButton *BTforme10, *BtForme11, *BtForme20, *BtForme21, *BtForme30, *BtForme31, *BtForme40,
        *BtForme41;
    TLabel* LabelEpaisseur; // line width
    TButton* BtEpaisseurMoins;
    TButton* BtEpaisseurPlus;
    TLabel* LabelPoint; // marker size
    TButton* BtPointMoins;
    TButton* BtPointPlus;
    TLabel* LabelEpaisseurBord; // marker outline width
    TButton* BtEpaisseurBordMoins;
    TButton* BtepaisseurBordPlus;
    TButton* BtRAZ; // "RAZ": runs ActionRAZ

    TLabel* Label12; // name of the file last loaded

    // ---------------------------------------------------------- client panel
    TPanel* Panel3;
    TPanel* PanelAfficheurs;
    TPanel* PanelY0;
    TPanel* PanelY1;
    TPanel* PanelGraphique;
    TStringGrid* Table;
    TMemo* Memo1; // carries the table text to the clipboard
    TPanel* PanelMinMax0;
    TSpinButton* SBmax0;
    TSpinButton* SBmin0;
    TPanel* PanelMinMax1;
    TSpinButton* SBmax1;
    TSpinButton* SBmin1;
    TPaintBox* PaintBox1;
    TPopupMenu* PopupMenu1;
    // The graph's context menu: graph colours and widths, options files.
    TAction* ActionCouleurFond;
    TMenuItem* Couleurdufond1; // "Couleur fond", runs ActionCouleurFond
    TMenuItem* Epaisseur1;     // "Epaisseur axe"
    TMenuItem *N1point, *N2points, *N3points;
    TMenuItem* Axes1; // "Voie Y1"
    TMenuItem *Couleur1, *Grille1, *Couleurgrille1;
    TMenuItem* AxeY21; // "Voie Y2"
    TMenuItem *Couleur2, *Grille2, *Couleurgrille2;
    TMenuItem* RAZparams;           // "Réinitialiser"
    TMenuItem* Enregistreroptions1; // "Enregistrer options"
    TMenuItem* Zero1;               // "Ajuster le zéro" of each channel
    TMenuItem* Zero2;
    TMenuItem* EtalonOxy1; // "Etalonner oxymètre" of each channel
    TMenuItem* EtalonOxy2;
    TMenuItem* Impression1; // "Imprimer" and its six layouts
    TMenuItem* portrait12page1;
    TMenuItem* portrait2page1;
    TMenuItem* N6parpageportrait1;
    TMenuItem* N1parpageportrait1;
    TMenuItem* N4parpagepaysage1;
    TMenuItem* N1parpagepaysage1;
    TStatusBar* StatusBar1;

    // ---------------------------------------------------------------- timers
    TTimer* Timer;   // the live tick, 750 ms
    TTimer* TimerYt; // one-channel timed acquisition
    TTimer* TimerYY; // two-channel timed acquisition
    TTimer* TimerXY;

    // --------------------------------------------------------- window state
    int32_t AcqMode = 0;   // 0 "Y1", 1 "Y2", 2 "YY", 3 "XY", 4 "man."
    uint8_t AcqState = 0;  // 0 idle, else the running acquisition kind
    uint8_t Acquiring = 0; // the block loops run while it is 1
    uint8_t LiveMode = 1;  // 1: the record holds the interface's data; 0: a loaded file
    uint8_t FastTimeBase = 1;
    int32_t TimeBaseIndex = 0;
    double TimeStepMs = 0.5;
    int32_t SampleIndex = 0;
    uint32_t StartTick = 0;
    uint32_t NowTick = 0;
    double Elapsed = 0;
    uint16_t TriggerLevel = 0;
    int32_t TriggerChannel = 0;
    float MeanY1 = 0;
    float MeanY2 = 0;
    uint8_t MeasuredSeries = 0; // 0 while no series was started
    uint8_t SelectedSeries = 1;
    uint16_t PaintWidth = 0;
    uint16_t PaintHeight = 0;
    uint16_t GraphMargin = 0;
    std::unique_ptr<TBitmap> GraphBitmap;
    // The graph geometry (PlotWidth, PlotHeight, MarginLeft, MarginBottom,
    // OriginX, OriginY, ScaleX, ScaleY, axis titles, TimeInSeconds), the
    // curves' working positions (CurX, PrevX, CurY, PrevY, FirstPoint), the
    // period cursors, LineScale and SeriesLines.
    workbench::GraphState Graph;
    // The graph colours and styles (BackgroundColor, AxisColor, GridColor,
    // GridOn, AxisWidth, GridWidth, TimeLabelColor, CurveColor, CurveWidth,
    // PointStyle) and the display switches of the series.
    workbench::GraphStyle Style;
    uint8_t GraphShown = 0; // a graph is shown; cursor readouts allowed
    TLinePoint LineStart;
    TLinePoint LineEnd;
    uint8_t LineDrawing = 0;
    TColor ClearColor = clBlack;
    std::vector<std::string> FastTimeBases;
    std::vector<std::string> SlowTimeBases;
    // The controls by number: [series - 1][channel][g, L, p]; [series - 1];
    // [series - 1]; [series - 1][channel].
    TCheckBox* CurveBoxes[workbench::MaxSeries][workbench::ChannelCount][3] = {};
    TGroupBox* SeriesBoxes[workbench::MaxSeries] = {};
    TSpeedButton* SeriesButtons[workbench::MaxSeries] = {};
    TPaintBox* StyleSamples[workbench::MaxSeries][workbench::ChannelCount] = {};

    // Sensor detection's results.
    uint8_t SensorPresent = 0; // at least one channel has a sensor
    uint8_t BothSensors = 0;   // both channels have one

    // ------------------------------------------------- start-up and shut-down
    void FormCreate();
    // One attempt of the interface search.
    void ConnectInterface();
    void ActionQuitterExecute();
    void ActionAide1Execute();
    void ActionAproposExecute();
    // Closing by the frame: a running measurement is ended first.
    void FormClose(TCloseAction& action);

    // ------------------------------------------------ sensors and live display
    void DetectSensors();
    void TimerTimer();
    void FormResize();
    void ActionAfficheursExecute();
    void ActionAffGeantsExecute();
    void PanelY0ContextPopup(int x, int y, bool& handled);
    void PanelY1ContextPopup(int x, int y, bool& handled);
    // Shows text in the live display panel of channel (0: PanelY0, 1:
    // PanelY1), the font made smaller if needed so that it is not cut.
    void SetLiveText(int channel, const std::string& text);
    // Font height of both panels: the layout's height, or less so that both
    // texts fit the panels' width.
    void FitLiveFonts();
    int LiveFontHeight = 0; // the height that the panels' layout gives

    // ------------------------------------------------------ measurement file
    // Prepares series (1..4) for a new acquisition in mode (an AcqMode).
    void InitSeriesHeader(int series, int mode);
    // "Enregistrer": offers to save all series, then clears them. true when
    // the series were cleared; false when the user cancelled the save dialog
    // or the file could not be written (the series are kept).
    bool ActionRAZExecute();
    void ActionLireExecute();
    // The file named by the program's first argument (end of FormCreate).
    void LoadCommandLineFile();

    // ----------------------------------------------------------------- graph
    void PaintBox1Paint(TCanvas& canvas);
    // Copies GraphBitmap onto PaintBox1 at (GraphMargin, GraphMargin).
    void ShowGraphBitmap();
    // Copies the window state that the drawing reads (mode, state, selected
    // series) into Graph.
    void SyncGraphState();

    // ------------------------------------------------- acquisition settings
    void RGVoieClick();
    void CBdelta_tCloseUp();
    void NbMesuresChange();
    void RGvoieSynchroClick();
    void SBnivdecDownClick();
    void SBnivdecUpClick();
    void LoadAllTimeBases();
    void ResetRangeToSensor();
    // Starts the acquisition that the mode and the interval call for.
    void StartAcquisition();

    // ------------------------------------------------------- acquisitions
    void RunBlockYt();
    void RunBlockYY();
    void RunBlockXY();
    void RunManualXY(TCanvas& canvas);
    void StartTimedYt(TCanvas& canvas);
    void StartTimedYY(TCanvas& canvas);
    void TickTimedYt(int channel);
    void TickTimedYY();
    void TimerYtTimer();
    void TimerYYTimer();
    void TimerXYTimer();

    // -------------------------------------------------- measurement actions
    void ActionNouvelleMesureExecute();
    void ActionRefaireMesureExecute();
    void ActionFinMesuresExecute();
    void ActionValiderXYExecute();
    void ActionRevaliderXYExecute();
    void FormKeyDown(uint16_t& key, TShiftState shift);

    // ------------------------------------------------------ series controls
    // Sets the series controls after ShownSeries changed: the newest series
    // pressed, in points only and marked; every older one a pale line.
    void UpdateSeriesControls();
    // Selection buttons: series n alone, as line and points.
    void BTS1Click();
    void BTS2Click();
    void BTS3Click();
    void BTS4Click();
    // Shared by the 24 display check boxes.
    void cbsClick();
    void ActionPanneauReglagesExecute();
    // Context clicks of the series group boxes: no menu; while idle, the
    // question whether to erase series n, and the erase.
    void GBS1ContextPopup(int x, int y, bool& handled);
    void GBS2ContextPopup(int x, int y, bool& handled);
    void GBS3ContextPopup(int x, int y, bool& handled);
    void GBS4ContextPopup(int x, int y, bool& handled);
    // Removes series n (1..4): the later series move down with their lines;
    // the only series is cleared with "Enregistrer" instead.
    void EraseSeries(int n);

    // ------------------------------------------------------ graph cursors
    // The values under the pointer and the rubber line of the manual mode.
    void PaintBox1MouseMove(TShiftState shift, int x, int y);
    // Period cursors (Ctrl), clearing them (a plain click), a manual line's
    // start.
    void PaintBox1MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    // A manual line's end: stored for the selected series with its label.
    void PaintBox1MouseUp(TMouseButton button, TShiftState shift, int x, int y);

    // ------------------------------------------------ table and clipboard
    void RefreshTable();
    void ActionTableExecute();
    void ActionCopierTableauExecute();
    void ActionCopierImageExecute();

    // ------------------------------------------ series styles, graph colours
    // The sample box of series s (1..4), channel c, on its canvas.
    void PaintStyleSample(int s, int c, TCanvas& canvas);
    // The colour dialog on one field; then the graph repainted.
    void PickCurveColour(int s, int c);
    void PickPointOutlineColour(int s, int c);
    void PickPointFillColour(int s, int c);
    void PickColour(TColor& colour);
    void CyclePointShape(int s, int c);
    void BtEpaisseurPlusClick();
    void BtEpaisseurMoinsClick();
    void BtPointPlusClick();
    void BtPointMoinsClick();
    void BtepaisseurBordPlusClick();
    void BtEpaisseurBordMoinsClick();
    void ActionCouleurFondExecute();
    void N1pointClick();
    void N2pointsClick();
    void N3pointsClick();
    void Couleur1Click();
    void Couleur2Click();
    void Couleurgrille1Click();
    void Couleurgrille2Click();
    void Grille1Click();
    void Grille2Click();

    // --------------------------------------------------------- display range
    void LowerDisplayMax(int c);
    void RaiseDisplayMax(int c);
    void LowerDisplayMin(int c);
    void RaiseDisplayMin(int c);

    // ------------------------------------- zero adjustment and oxygen probe
    // Offers, per channel with a sensor, the oxygen calibration to a sensor
    // whose name contains "Oxym" and the zero adjustment to any other.
    void PopupMenu1Popup();
    void Zero1Click();
    void Zero2Click();
    // Zero dialog; on OK the channel's working offset is measured so that the
    // present input reads 0 (live tick off while it is measured).
    void AdjustZero(int channel);
    void EtalonOxy1Click();
    void EtalonOxy2Click();
    // Oxygen probe dialog; on OK the new high point and range top are written
    // into the sensor memory and applied at once. Live tick off throughout.
    void CalibrateOxygenProbe(int channel);

    // -------------------------------------------------------------- printing
    // One print of the graph in layout 0..5 (workbench::PlanPrintPage): the
    // print dialog, the page with white background and grid width 1, the
    // notice "Impression terminée", and the restore of the screen settings,
    // which runs also when the print fails (the failure then leaves it).
    void PrintGraph(int layout);
    void portrait12page1Click();
    void portrait2page1Click();
    void N6parpageportrait1Click();
    void N1parpageportrait1Click();
    void N4parpagepaysage1Click();
    void N1parpagepaysage1Click();

    // --------------------------------------------------------------- options
    // Loads the display options from the own options file, or from the
    // factory file "original.INI" when FromFactory.
    void LoadOptions(bool FromFactory);
    // Writes every option into the own options file; false (told to the
    // user, the file as it was) when it cannot be written.
    bool SaveOptions();
    void RAZparamsClick();
    void Enregistreroptions1Click();
    // The program's own options file: its path with the extension ".INI".
    std::string OwnOptionsFile() const;

private:
    void CreateComponents();
    void CreateActions();
    void CreateSettingsPanel();
    void CreateSeriesControls();
    void CreateClientPanel();
    void CreateGraphMenu();
    void BindHandlers();
    // Fills CurveBoxes, SeriesBoxes, SeriesButtons and StyleSamples.
    void FillControlTables();
    // Series controls.
    void BindSeriesHandlers();
    // Style samples, style buttons, the graph menu's style items and the
    // range buttons.
    void BindStyleHandlers();
    // The graph repainted (a measurement's own redraws keep it up to date
    // meanwhile), then the samples of series s, both channels; s 0: all eight.
    void RepaintStyles(int s);
    // One click of a "-"/"+" pair on the selected series.
    void StepSelectedStyle(workbench::StyleStep what, bool up);
    // One click of a range button on channel c of the selected series.
    void MoveRange(int c, workbench::RangeMove move);
    // The six display check boxes of series (1..4), both channels alike.
    void SetCurveBoxes(int series, bool pale, bool line, bool points);
    // Group boxes 1 to ShownSeries: series marked in bold, italic and
    // underlined, the others in their parent's font.
    void MarkSeriesBox(int series);
    void SelectSeries(int series);
    // The erase question of a series group box's context click.
    void AskEraseSeries(int n, bool& handled);
    // The selected series, or 1 when the selection names no series.
    int ValidSelectedSeries() const;
    // Graph cursors.
    void BindCursorHandlers();
    // Places the next period cursor at column x of the graph box.
    void PlacePeriodCursor(int x);
    // The double arrow between the placed cursors, with T and f under it.
    void ShowPeriod(TCanvas& canvas);
    // Before a file is shown: live tick stopped, live texts emptied, new
    // measurement and the display panels unavailable, the panels hidden.
    void LeaveLiveDisplay();
    // The common part of an accepted load (from "Lire" or the command line).
    void ShowLoadedRecord();
    // Runs the align engine of the client panel, then FormResize.
    void LayOut();

    // Acquisitions and measurement actions.
    // The trigger level text in Pnivdec, in the units of channel (0 or 1).
    void ShowLevelText(int channel);
    // The start of every block or manual loop: AcqState := state, live tick
    // off, display panels emptied, new measurement off and end on.
    void BeginLoop(uint8_t state);
    // The block loop of RunBlockYt, RunBlockYY and RunBlockXY: its AcqState,
    // its row (DeltaTIndex of the record or TimeBaseIndex), and whether the
    // series header and the panels are reset before every block or once.
    void RunBlockLoop(uint8_t state, bool rowFromRecord, bool resetEveryBlock, int series);
    // Keeps the window alive during the link's waits of the loop of run:
    // repainted, and of the user's input only "Fin" (its button, Escape,
    // closing the window), the point validations and the trigger settings
    // act; the wait ends as soon as the measurement has ended.
    std::unique_ptr<TWaitKeeper> KeepAliveWhileWaiting(uint32_t run);
    // Redraws the graph on canvas (GraphBitmap's) and copies the bitmap onto
    // PaintBox1.
    void DrawAndShowGraph(TCanvas& canvas);
    // The interface stopped answering during a loop: the measurement ends and
    // the user is told once.
    void EndOnSilentInterface();
    // After a reading that went unanswered: when the interface has stopped
    // answering, ends the measurement as above (true); one lost answer
    // changes nothing (false).
    bool EndIfInterfaceStopped();
    // The interface stopped answering during the live tick: the tick stops
    // (until the next detection or measurement), the panels are emptied and,
    // when tell, the user is told.
    void StopLiveOnSilence(bool tell);
    // Timed acquisitions: the software trigger wait on channel's raw count
    // (pause between readings and give-up rounds), which the user may end
    // with "Fin"; true when the series is to start (the trigger came or the
    // wait gave up), false when the measurement ended or was superseded
    // meanwhile.
    bool SoftwareTriggerWait(int channel, uint32_t pauseMs, uint16_t giveUpRounds);
    // A pause of the trigger wait, with the window's messages processed; false
    // when the acquisition of state and run is no longer the one running.
    bool TriggerPause(uint32_t ms, uint8_t state, uint32_t run);
    // The start common to both timed series: AcqState := state, timers off,
    // panels emptied, series header and counters reset, the empty time frame
    // drawn on canvas and shown.
    void PrepareTimedSeries(uint8_t state, TCanvas& canvas);
    // The trigger wait of a timed start when "Déclenché" is checked: pause =
    // the series' interval / pauseDivisor, give-up = giveUpFactor x the number
    // of measurements. false when the measurement ended meanwhile.
    bool TimedTriggerWait(int channel, int pauseDivisor, int giveUpFactor);
    // One tick's reading: NowTick (and StartTick for the first point) from
    // the tick counter, Elapsed, both channels read, and their values written
    // into the panels firstPanel to lastPanel above 300 ms. false when nothing
    // was read (an interface that stopped answering has ended the measurement).
    bool ReadTimedPoint(std::array<float, 2>& values, int firstPanel, int lastPanel);
    // Stores values as the next point of the measured series and redraws;
    // false when the series or the record is full.
    bool StoreNextTimedPoint(const std::array<float, 2>& values);
    void EnterMeasuringState(bool newMeasurement);
    void PrepareManualXY();
    // Numbers the acquisitions started: a loop whose number is no longer the
    // last was superseded by one started inside its message processing.
    uint32_t AcquisitionRuns = 0;
};

extern TForm1* Form1;

} // namespace kvel1
