// The front-panel layout table: knob geometry, zone names and picture files,
// and widgets that must not cover a click zone.
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "panel_layout.h"

using namespace PanelLayout;

namespace {

double DirectionDegrees(Knob knob, int position) {
    const PointF v = PointerVector(knob, position);
    double degrees = std::atan2(-v.Y, v.X) * 180 / std::numbers::pi;
    return degrees < 0 ? degrees + 360 : degrees;
}

// Centre of the least-squares circle through points (x² + y² + Dx + Ey + F = 0).
PointF FittedCentre(const std::array<PointF, KnobPositionCount>& points) {
    double a[3][3] = {};
    double b[3] = {};
    for (const PointF& p : points) {
        const double row[3] = {p.X, p.Y, 1};
        const double rhs = -(p.X * p.X + p.Y * p.Y);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                a[i][j] += row[i] * row[j];
            }
            b[i] += row[i] * rhs;
        }
    }
    auto det = [](const double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double d = det(a);
    double solution[3];
    for (int c = 0; c < 3; ++c) {
        double m[3][3];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                m[i][j] = j == c ? b[i] : a[i][j];
            }
        }
        solution[c] = det(m) / d;
    }
    return {-solution[0] / 2, -solution[1] / 2};
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.Left < b.Right() && b.Left < a.Right() && a.Top < b.Bottom() && b.Top < a.Bottom();
}

} // namespace

TEST(PanelLayout, PointerDirectionsFollowTheZones) {
    // Degrees anticlockwise from east, from the dial centre to each zone centre.
    const std::array<std::array<double, KnobPositionCount>, 3> expected{{
        {60, 90, 121, 153, 178, 201, 232, 272},
        {57, 87, 121, 150, 178, 203, 232, 272},
        {22, 57, 94, 116, 153, 178, 203, 232},
    }};
    for (int k = 0; k < 3; ++k) {
        for (int p = 0; p < KnobPositionCount; ++p) {
            EXPECT_NEAR(DirectionDegrees(static_cast<Knob>(k), p), expected[k][p], 1.0)
                << KnobZone(static_cast<Knob>(k), p).Name;
        }
    }
}

TEST(PanelLayout, DialCentreSitsInTheMiddleOfItsZones) {
    for (const KnobLayout& knob : Knobs) {
        std::array<PointF, KnobPositionCount> centres{};
        for (int p = 0; p < KnobPositionCount; ++p) {
            const Rect& zone = KnobZone(knob.Id, p).Bounds;
            centres[static_cast<size_t>(p)] = {zone.CentreX(), zone.CentreY()};
        }
        const PointF fitted = FittedCentre(centres);
        const PointF dial = DialCentreInWindow(knob.Id);
        EXPECT_LT(std::hypot(fitted.X - dial.X, fitted.Y - dial.Y), 2.5)
            << knob.Component << ": best circle centre " << fitted.X << ", " << fitted.Y;
        // The zones ring the knob: none covers its centre, all lie on the panel.
        for (int p = 0; p < KnobPositionCount; ++p) {
            const Rect& zone = KnobZone(knob.Id, p).Bounds;
            EXPECT_FALSE(zone.Contains(static_cast<int>(dial.X), static_cast<int>(dial.Y)));
            EXPECT_TRUE(zone.Left >= 0 && zone.Top >= 0 && zone.Right() <= PanelWidth &&
                        zone.Bottom() <= PanelHeight);
        }
    }
}

TEST(PanelLayout, NamesAndPictureFilesAreDistinctWithTheirCase) {
    std::set<std::string_view> names;
    for (const Component& component : Components) {
        EXPECT_TRUE(names.insert(component.Name).second) << component.Name;
    }
    for (const ClickZone& zone : ClickZones) {
        EXPECT_TRUE(names.insert(zone.Name).second) << zone.Name;
    }

    std::set<std::string_view> files;
    for (const ClickZone& zone : ClickZones) {
        if (zone.KnobId == Knob::None) {
            EXPECT_TRUE(zone.PictureFile.empty()) << zone.Name;
            continue;
        }
        EXPECT_TRUE(files.insert(zone.PictureFile).second) << zone.PictureFile;
        // Lower case, but channel b's capital V.
        const std::string file(zone.PictureFile);
        std::string expected;
        for (char c : file) {
            expected += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (zone.KnobId == Knob::Yb) {
            expected[expected.size() - 5] = 'V';
        }
        EXPECT_EQ(file, expected);
        EXPECT_TRUE(file.ends_with(".jpg"));
    }
    EXPECT_EQ(files.size(), 24u);
    EXPECT_TRUE(files.contains("bt2v.jpg") && files.contains("bt2V.jpg") &&
                files.contains("basetemps5ms.jpg"));
}

TEST(PanelLayout, ChildrenAreLaidOutInsideTheirGroupBoxes) {
    struct Case {
        std::string_view Name;
        Rect InWindow;
    };
    const Case cases[] = {
        {"UpDown2", {511, 141, 17, 33}},
        {"voiesynchroA", {632, 144, 30, 10}},
        {"voiesynchroB", {632, 160, 30, 10}},
        {"synchroauto", {536, 128, 89, 25}},
    };
    for (const Case& c : cases) {
        const Component* component = FindComponent(c.Name);
        ASSERT_NE(component, nullptr) << c.Name;
        const Rect r = ClientRect(*component);
        EXPECT_EQ(r.Left, c.InWindow.Left) << c.Name;
        EXPECT_EQ(r.Top, c.InWindow.Top) << c.Name;
        EXPECT_EQ(r.Width, c.InWindow.Width) << c.Name;
        EXPECT_EQ(r.Height, c.InWindow.Height) << c.Name;
    }
}

TEST(PanelLayout, NoWidgetCoversAClickZone) {
    for (const Component& component : Components) {
        if (component.Kind == ComponentKind::Picture) {
            continue; // the panel and the knob pictures lie under the zones
        }
        for (const ClickZone& zone : ClickZones) {
            EXPECT_FALSE(Overlap(ClientRect(component), zone.Bounds))
                << component.Name << " covers " << zone.Name;
        }
    }
}
