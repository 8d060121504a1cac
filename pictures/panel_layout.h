// The oscilloscope's front panel: where every component, click zone and knob
// lies, and the geometry of the screen. Plain data without Qt, shared by the
// oscilloscope (which places its widgets and zones from it) and the picture
// generator (which draws the marks, value labels and knob pointers from it):
// moving a zone here moves its mark and its pointer direction everywhere.
//
// All positions are in pixels, x to the right and y downwards. Unless a
// component has a parent, its rectangle is in the main window's client area.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace PanelLayout {

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    constexpr int Right() const { return Left + Width; }  // first column past the rectangle
    constexpr int Bottom() const { return Top + Height; } // first row past the rectangle
    constexpr double CentreX() const { return Left + Width / 2.0; }
    constexpr double CentreY() const { return Top + Height / 2.0; }
    constexpr bool Contains(int x, int y) const {
        return x >= Left && x < Right() && y >= Top && y < Bottom();
    }
};

struct PointF {
    double X = 0;
    double Y = 0;
};

// Nearest whole number, halves to the even neighbour (as every pixel position
// of the screen is rounded). Usable in constant expressions.
constexpr int RoundHalfEven(double v) {
    long long whole = static_cast<long long>(v);
    if (v < static_cast<double>(whole)) {
        --whole; // floor for negative values
    }
    const double fraction = v - static_cast<double>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && (whole % 2) != 0)) {
        ++whole;
    }
    return static_cast<int>(whole);
}

// ---------------------------------------------------------------------------
// Components

enum class ComponentKind {
    Picture,     // TImage: the panel, the knob pictures
    PaintBox,    // the screen
    SpeedButton, // flat buttons, grouped ones stay pressed
    Label,       // transparent label; its rectangle is the plain band under its text
    UpDown,
    GroupBox,
    CheckBox,
    RadioButton,
    RadioGroup,
};

struct Component {
    std::string_view Name;
    ComponentKind Kind;
    Rect Bounds;             // in the parent's client area
    std::string_view Parent; // empty: the main window's client area
};

inline constexpr int PanelWidth = 801;
inline constexpr int PanelHeight = 385;

inline constexpr auto Components = std::to_array<Component>({
    {"ArrierePlan", ComponentKind::Picture, {0, 0, PanelWidth, PanelHeight}, {}},
    {"PaintBox1", ComponentKind::PaintBox, {16, 28, 385, 308}, {}},
    {"onoff", ComponentKind::SpeedButton, {424, 72, 22, 22}, {}},
    {"SBTstop", ComponentKind::SpeedButton, {552, 72, 23, 22}, {}},
    {"SBTrun", ComponentKind::SpeedButton, {576, 72, 23, 22}, {}},
    {"LabelIntensite", ComponentKind::Label, {448, 120, 70, 16}, {}},
    {"UpDown1", ComponentKind::UpDown, {424, 112, 17, 25}, {}},
    {"Label3", ComponentKind::Label, {448, 160, 80, 16}, {}},
    {"UpDown3", ComponentKind::UpDown, {424, 152, 17, 25}, {}},
    {"Label1", ComponentKind::Label, {520, 112, 140, 16}, {}},
    {"GroupBox2", ComponentKind::GroupBox, {504, 128, 33, 49}, {}},
    {"UpDown2", ComponentKind::UpDown, {7, 13, 17, 33}, "GroupBox2"},
    {"synchroauto", ComponentKind::CheckBox, {536, 128, 89, 25}, {}},
    {"frontdesc", ComponentKind::RadioButton, {536, 152, 49, 25}, {}},
    {"frontmont", ComponentKind::RadioButton, {584, 152, 41, 25}, {}},
    {"GroupBox1", ComponentKind::GroupBox, {624, 128, 41, 49}, {}},
    {"voiesynchroA", ComponentKind::RadioButton, {8, 16, 30, 10}, "GroupBox1"},
    {"voiesynchroB", ComponentKind::RadioButton, {8, 32, 30, 10}, "GroupBox1"},
    {"Label2", ComponentKind::Label, {544, 176, 100, 16}, {}},
    {"modgraph1", ComponentKind::SpeedButton, {544, 192, 23, 22}, {}},
    {"modgraph2", ComponentKind::SpeedButton, {576, 192, 23, 22}, {}},
    {"modgraph3", ComponentKind::SpeedButton, {608, 192, 23, 22}, {}},
    {"BtYa", ComponentKind::SpeedButton, {544, 224, 23, 22}, {}},
    {"BtXY", ComponentKind::SpeedButton, {576, 224, 23, 22}, {}},
    {"BtYY", ComponentKind::SpeedButton, {608, 224, 23, 22}, {}},
    {"BtYb", ComponentKind::SpeedButton, {640, 224, 23, 22}, {}},
    {"LabelSensibiliteYa", ComponentKind::Label, {424, 208, 150, 16}, {}},
    {"FondBtYa", ComponentKind::Picture, {424, 240, 105, 89}, {}},
    {"LabelSensibiliteYb", ComponentKind::Label, {680, 208, PanelWidth - 680, 16}, {}},
    {"FondBtYb", ComponentKind::Picture, {680, 240, 105, 89}, {}},
    {"FondBaseTemps", ComponentKind::Picture, {672, 48, 105, 89}, {}},
    {"LabelBaseTemps", ComponentKind::Label, {688, 144, 90, 16}, {}},
    {"RadioGroupYa", ComponentKind::RadioGroup, {560, 264, 40, 45}, {}},
    {"RadioGroupYb", ComponentKind::RadioGroup, {604, 264, 40, 45}, {}},
});

// The component of that name, or nullptr.
constexpr const Component* FindComponent(std::string_view name) {
    for (const Component& component : Components) {
        if (component.Name == name) {
            return &component;
        }
    }
    return nullptr;
}

// A component's rectangle in the main window's client area (a group box's
// children are laid out inside it).
constexpr Rect ClientRect(const Component& component) {
    Rect r = component.Bounds;
    for (const Component* parent = FindComponent(component.Parent); parent != nullptr;
         parent = FindComponent(parent->Parent)) {
        r.Left += parent->Bounds.Left;
        r.Top += parent->Bounds.Top;
    }
    return r;
}

// ---------------------------------------------------------------------------
// Knobs and click zones

enum class Knob { Ya, Yb, TimeBase, None };

inline constexpr int KnobPositionCount = 8;

enum class ZoneKind {
    Sensitivity,      // turns a sensitivity knob: Value in units per division
    TimeBase,         // turns the time-base knob: Value in ms per division
    VerticalPosition, // moves a channel's trace: Value in pixels, positive up
    HorizontalShift,  // moves the traces: Value in pixels, positive right
    ShiftReset,       // puts the horizontal shift back to 0
};

struct ClickZone {
    std::string_view Name; // the zone's click handler is Name + "Click"
    Rect Bounds;
    ZoneKind Kind;
    Knob KnobId;                  // Knob::None for the position and shift zones
    int Channel;                  // 0 channel a, 1 channel b, -1 none
    int Position;                 // knob position 0..7 in the knob's order, -1 none
    double Value;                 // see ZoneKind
    std::string_view PictureFile; // knob picture loaded by a click; empty for the others
};

// The knob zones come first, eight per knob in the order of their positions
// (Ya, then Yb, then the time base); KnobZone() relies on it.
inline constexpr auto ClickZones = std::to_array<ClickZone>({
    {"Ya01V", {488, 232, 17, 25}, ZoneKind::Sensitivity, Knob::Ya, 0, 0, 0.1, "bt01v.jpg"},
    {"Ya02V", {464, 224, 22, 33}, ZoneKind::Sensitivity, Knob::Ya, 0, 1, 0.2, "bt02v.jpg"},
    {"Ya05V", {440, 232, 25, 25}, ZoneKind::Sensitivity, Knob::Ya, 0, 2, 0.5, "bt05v.jpg"},
    {"Ya1V", {424, 256, 33, 17}, ZoneKind::Sensitivity, Knob::Ya, 0, 3, 1, "bt1v.jpg"},
    {"Ya2V", {416, 272, 41, 17}, ZoneKind::Sensitivity, Knob::Ya, 0, 4, 2, "bt2v.jpg"},
    {"Ya5V", {416, 288, 41, 17}, ZoneKind::Sensitivity, Knob::Ya, 0, 5, 5, "bt5v.jpg"},
    {"Ya10V", {432, 304, 33, 25}, ZoneKind::Sensitivity, Knob::Ya, 0, 6, 10, "bt10v.jpg"},
    {"Ya20V", {464, 304, 25, 25}, ZoneKind::Sensitivity, Knob::Ya, 0, 7, 20, "bt20v.jpg"},

    {"Yb01V", {744, 232, 17, 33}, ZoneKind::Sensitivity, Knob::Yb, 1, 0, 0.1, "bt01V.jpg"},
    {"Yb02V", {720, 232, 25, 33}, ZoneKind::Sensitivity, Knob::Yb, 1, 1, 0.2, "bt02V.jpg"},
    {"Yb05V", {696, 232, 25, 25}, ZoneKind::Sensitivity, Knob::Yb, 1, 2, 0.5, "bt05V.jpg"},
    {"Yb1V", {688, 256, 25, 17}, ZoneKind::Sensitivity, Knob::Yb, 1, 3, 1, "bt1V.jpg"},
    {"Yb2V", {680, 272, 33, 17}, ZoneKind::Sensitivity, Knob::Yb, 1, 4, 2, "bt2V.jpg"},
    {"Yb5V", {680, 288, 33, 17}, ZoneKind::Sensitivity, Knob::Yb, 1, 5, 5, "bt5V.jpg"},
    {"Yb10V", {688, 304, 33, 25}, ZoneKind::Sensitivity, Knob::Yb, 1, 6, 10, "bt10V.jpg"},
    {"Yb20V", {720, 304, 25, 25}, ZoneKind::Sensitivity, Knob::Yb, 1, 7, 20, "bt20V.jpg"},

    {"Basetemps1ms",
     {744, 64, 25, 25},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     0,
     1,
     "basetemps1ms.jpg"},
    {"Basetemps2ms",
     {728, 48, 33, 17},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     1,
     2,
     "basetemps2ms.jpg"},
    {"BaseTemps5ms",
     {712, 40, 17, 33},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     2,
     5,
     "basetemps5ms.jpg"},
    {"BaseTemps10ms",
     {696, 40, 17, 25},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     3,
     10,
     "basetemps10ms.jpg"},
    {"BaseTemps20ms",
     {672, 64, 33, 17},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     4,
     20,
     "basetemps20ms.jpg"},
    {"BaseTemps50ms",
     {672, 80, 25, 17},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     5,
     50,
     "basetemps50ms.jpg"},
    {"BaseTemps100ms",
     {672, 96, 33, 17},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     6,
     100,
     "basetemps100ms.jpg"},
    {"BaseTemps200ms",
     {680, 112, 33, 25},
     ZoneKind::TimeBase,
     Knob::TimeBase,
     -1,
     7,
     200,
     "basetemps200ms.jpg"},

    {"reglageYaplus5", {528, 256, 25, 17}, ZoneKind::VerticalPosition, Knob::None, 0, -1, 5, {}},
    {"reglageYaplus1", {528, 272, 25, 9}, ZoneKind::VerticalPosition, Knob::None, 0, -1, 1, {}},
    {"reglageYamoins1", {528, 280, 25, 9}, ZoneKind::VerticalPosition, Knob::None, 0, -1, -1, {}},
    {"reglageYamoins5", {528, 288, 25, 17}, ZoneKind::VerticalPosition, Knob::None, 0, -1, -5, {}},
    {"reglageYbplus5", {648, 256, 25, 17}, ZoneKind::VerticalPosition, Knob::None, 1, -1, 5, {}},
    {"reglageYbplus1", {648, 272, 25, 9}, ZoneKind::VerticalPosition, Knob::None, 1, -1, 1, {}},
    {"reglageYbmoins1", {648, 280, 25, 9}, ZoneKind::VerticalPosition, Knob::None, 1, -1, -1, {}},
    {"reglageYbmoins5", {648, 288, 25, 17}, ZoneKind::VerticalPosition, Knob::None, 1, -1, -5, {}},

    {"decalageXXgauche", {611, 80, 12, 14}, ZoneKind::HorizontalShift, Knob::None, -1, -1, -10, {}},
    {"decalageXgauche", {622, 80, 12, 14}, ZoneKind::HorizontalShift, Knob::None, -1, -1, -2, {}},
    {"Image1", {635, 80, 9, 14}, ZoneKind::ShiftReset, Knob::None, -1, -1, 0, {}},
    {"decalageXdroite", {645, 80, 12, 14}, ZoneKind::HorizontalShift, Knob::None, -1, -1, 2, {}},
    {"decalageXXdroite", {654, 80, 12, 14}, ZoneKind::HorizontalShift, Knob::None, -1, -1, 10, {}},
});

static_assert(ClickZones.size() == 3 * 8 + 8 + 5);

// The zone of a knob position (knob is Ya, Yb or TimeBase; position 0..7).
constexpr const ClickZone& KnobZone(Knob knob, int position) {
    return ClickZones[static_cast<std::size_t>(static_cast<int>(knob) * KnobPositionCount +
                                               position)];
}

constexpr bool KnobZonesInOrder() {
    for (int k = 0; k < 3; ++k) {
        for (int p = 0; p < KnobPositionCount; ++p) {
            const ClickZone& zone = KnobZone(static_cast<Knob>(k), p);
            if (static_cast<int>(zone.KnobId) != k || zone.Position != p ||
                zone.PictureFile.empty()) {
                return false;
            }
        }
    }
    return true;
}
static_assert(KnobZonesInOrder());

// The click zone of that name, or nullptr.
constexpr const ClickZone* FindZone(std::string_view name) {
    for (const ClickZone& zone : ClickZones) {
        if (zone.Name == name) {
            return &zone;
        }
    }
    return nullptr;
}

struct KnobLayout {
    Knob Id;
    std::string_view Component;     // the knob's picture component
    Rect Picture;                   // where its 105 x 89 picture stands
    PointF DialCentre;              // in picture coordinates
    int StartPosition;              // position at start: 2 V, 2 V and 5 ms per division
    std::string_view DesignPicture; // embedded picture shown until the first click
};

inline constexpr int KnobPictureWidth = 105;
inline constexpr int KnobPictureHeight = 89;

// clang-format off
inline constexpr std::array<KnobLayout, 3> Knobs{{
    {Knob::Ya, "FondBtYa", {424, 240, KnobPictureWidth, KnobPictureHeight}, {51, 42}, 4,
     "bouton_ya_init.jpg"},
    {Knob::Yb, "FondBtYb", {680, 240, KnobPictureWidth, KnobPictureHeight}, {51, 42}, 4,
     "bouton_yb_init.jpg"},
    {Knob::TimeBase, "FondBaseTemps", {672, 48, KnobPictureWidth, KnobPictureHeight}, {51, 42}, 2,
     "bouton_bt_init.jpg"},
}};
// clang-format on

constexpr const KnobLayout& KnobOf(Knob knob) {
    return Knobs[static_cast<std::size_t>(knob)];
}

// The dial centre in the client area.
constexpr PointF DialCentreInWindow(Knob knob) {
    const KnobLayout& k = KnobOf(knob);
    return {k.Picture.Left + k.DialCentre.X, k.Picture.Top + k.DialCentre.Y};
}

// From the dial centre to the centre of a position's zone (y downwards): the
// direction of that position's tick and of the pointer when the knob is on it.
constexpr PointF PointerVector(Knob knob, int position) {
    const Rect& zone = KnobZone(knob, position).Bounds;
    const PointF centre = DialCentreInWindow(knob);
    return {zone.CentreX() - centre.X, zone.CentreY() - centre.Y};
}

// The front panel picture embedded in the program.
inline constexpr std::string_view PanelPicture = "panneau.jpg";

// ---------------------------------------------------------------------------
// The screen: a PlotWidth x PlotHeight bitmap drawn inside PaintBox1 at
// (GraphMargin, GraphMargin).

namespace Screen {

inline constexpr int GraphMargin = 2;
inline constexpr int PlotWidth = 385 - 2 * GraphMargin;  // 381
inline constexpr int PlotHeight = 308 - 2 * GraphMargin; // 304
inline constexpr int OriginX = 6;                        // x of time 0 before the shift
inline constexpr int CentreY = PlotHeight / 2;           // y of value 0 with no offset
inline constexpr double PixelsPerDivision = (PlotHeight + 60) / 10.0; // 36.4, vertical
inline constexpr double PixelsPerTimeDivision = PlotWidth / 10.0;     // 38.1, horizontal
inline constexpr int XYOriginX = RoundHalfEven(PlotHeight / 2.0 + 10 + PlotHeight / 8.0); // 200
inline constexpr int XYOriginY = CentreY;                                                 // 152

// The screen's face, drawn at (0, 0) of the screen bitmap before every sweep.
inline constexpr std::string_view BackgroundFile = "ecran1.bmp";

// Graticule: the columns of whole time divisions that fit on the screen and the
// rows of -4 to +4 vertical divisions (top to bottom), i.e. the rows a trace of
// j divisions falls on.
inline constexpr int GraticuleColumnCount = 10;
inline constexpr int GraticuleRowCount = 9;

constexpr std::array<int, GraticuleColumnCount> MakeGraticuleColumns() {
    std::array<int, GraticuleColumnCount> columns{};
    for (int k = 0; k < GraticuleColumnCount; ++k) {
        columns[static_cast<std::size_t>(k)] = OriginX + RoundHalfEven(PixelsPerTimeDivision * k);
    }
    return columns;
}

constexpr std::array<int, GraticuleRowCount> MakeGraticuleRows() {
    std::array<int, GraticuleRowCount> rows{};
    for (int j = 4; j >= -4; --j) {
        rows[static_cast<std::size_t>(4 - j)] = CentreY - RoundHalfEven(PixelsPerDivision * j);
    }
    return rows;
}

inline constexpr std::array<int, GraticuleColumnCount> GraticuleColumns = MakeGraticuleColumns();
inline constexpr std::array<int, GraticuleRowCount> GraticuleRows = MakeGraticuleRows();

// Vertical centre line of the graticule (the fifth division line).
inline constexpr int CentreX = GraticuleColumns[5];

static_assert(PlotWidth == 381 && PlotHeight == 304 && CentreY == 152);
static_assert(XYOriginX == 200);
static_assert(GraticuleColumns ==
              std::array<int, 10>{6, 44, 82, 120, 158, 196, 235, 273, 311, 349});
static_assert(GraticuleRows == std::array<int, 9>{6, 43, 79, 116, 152, 188, 225, 261, 298});

} // namespace Screen

} // namespace PanelLayout
