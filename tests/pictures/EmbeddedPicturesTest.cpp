// The pictures built into the programs: every resource with its size, and the
// front panel drawn to match the widgets, zones and knob files laid over it.
#include <cmath>

#include <gtest/gtest.h>

#include "EmbeddedPictures.h"
#include "PictureSupport.h"
#include "panel_layout.h"

using namespace PanelLayout;
using namespace picturetest;

namespace {

class EmbeddedPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitEmbeddedPictures(); }

    static QImage Panel() { return LoadJpeg(Resource(PanelPicture)); }
};

int Luminance(QRgb pixel) {
    return (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3;
}

} // namespace

TEST_F(EmbeddedPictures, EveryResourceDecodesWithItsSize) {
    struct Case {
        const char* Name;
        int Width;
        int Height;
    };
    const Case jpegs[] = {
        {"panneau.jpg", 801, 385},       {"bouton_ya_init.jpg", 105, 89},
        {"bouton_yb_init.jpg", 105, 89}, {"bouton_bt_init.jpg", 105, 89},
        {"intro.jpg", 275, 200},
    };
    for (const Case& c : jpegs) {
        const QImage image = LoadJpeg(Resource(c.Name));
        EXPECT_EQ(image.size(), QSize(c.Width, c.Height)) << c.Name;
        EXPECT_TRUE(IsBaselineWithoutSubsampling(ReadBytes(Resource(c.Name)))) << c.Name;
    }
    const Case pngs[] = {
        {"outil0.png", 32, 32}, {"outil1.png", 32, 32},     {"outil2.png", 32, 32},
        {"outil3.png", 32, 32}, {"outil4.png", 32, 32},     {"outil5.png", 32, 32},
        {"outil6.png", 32, 32}, {"kestrova.png", 256, 256}, {"trevalume1.png", 256, 256},
    };
    for (const Case& c : pngs) {
        QByteArray format;
        const QImage image = LoadWithQt(Resource(c.Name), &format);
        EXPECT_EQ(format, "png") << c.Name;
        EXPECT_EQ(image.size(), QSize(c.Width, c.Height)) << c.Name;
        // Transparent around the drawing, which covers a good part of it.
        EXPECT_TRUE(image.hasAlphaChannel()) << c.Name;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << c.Name;
        EXPECT_EQ(qAlpha(image.pixel(c.Width - 1, c.Height - 1)), 0) << c.Name;
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, c.Width * c.Height / 10) << c.Name;
    }
    // The tool-bar pictures all differ.
    for (int i = 0; i < 7; ++i) {
        for (int j = i + 1; j < 7; ++j) {
            EXPECT_NE(LoadWithQt(Resource(QStringLiteral("outil%1.png").arg(i).toStdString())),
                      LoadWithQt(Resource(QStringLiteral("outil%1.png").arg(j).toStdString())))
                << i << " and " << j;
        }
    }
}

TEST_F(EmbeddedPictures, PanelUnderEachKnobMatchesTheDesignKnobPicture) {
    const QImage panel = Panel();
    ASSERT_EQ(panel.size(), QSize(PanelWidth, PanelHeight));
    for (const KnobLayout& knob : Knobs) {
        const QImage design = LoadJpeg(Resource(knob.DesignPicture));
        ASSERT_EQ(design.size(), QSize(KnobPictureWidth, KnobPictureHeight));
        int worst = 0;
        long total = 0;
        for (int y = 0; y < design.height(); ++y) {
            for (int x = 0; x < design.width(); ++x) {
                const int d = Distance(panel.pixel(knob.Picture.Left + x, knob.Picture.Top + y),
                                       design.pixel(x, y));
                worst = std::max(worst, d);
                total += d;
            }
        }
        EXPECT_LE(worst, 24) << knob.DesignPicture;
        EXPECT_LE(static_cast<double>(total) / (design.width() * design.height()), 1.5)
            << knob.DesignPicture;
    }
}

TEST_F(EmbeddedPictures, PanelIsPlainUnderEveryWidget) {
    const QImage panel = Panel();
    for (const Component& component : Components) {
        if (component.Kind == ComponentKind::Picture || component.Kind == ComponentKind::PaintBox) {
            continue;
        }
        const Rect r = ClientRect(component);
        int worst = 0;
        for (int y = r.Top; y < r.Bottom(); ++y) {
            for (int x = r.Left; x < r.Right(); ++x) {
                worst = std::max(worst, Distance(panel.pixel(x, y), PanelStyle::Panel));
            }
        }
        EXPECT_LE(worst, 6) << component.Name;
    }
}

TEST_F(EmbeddedPictures, PanelShowsTheUnlitScreenInItsBezel) {
    const QImage panel = Panel();
    const QImage face = LoadWithQt(DataFile(Screen::BackgroundFile));
    ASSERT_FALSE(face.isNull());
    const Rect& box = FindComponent("PaintBox1")->Bounds;

    EXPECT_LE(Distance(panel.pixel(12, 150), PanelStyle::Bezel), 6);              // bezel, left
    EXPECT_LE(Distance(panel.pixel(200, 340), PanelStyle::Bezel), 6);             // bezel, bottom
    EXPECT_LE(Distance(panel.pixel(4, 150), PanelStyle::Panel), 6);               // panel beyond
    EXPECT_LE(Distance(panel.pixel(box.Left, 100), PanelStyle::PaintBoxFace), 6); // 2-px margin

    // The face, every colour halved, at the screen bitmap's place: close on the
    // whole, and its graticule lines visible.
    auto panelAt = [&](int x, int y) {
        return panel.pixel(box.Left + Screen::GraphMargin + x, box.Top + Screen::GraphMargin + y);
    };
    auto halved = [](PanelStyle::Rgb c) { return PanelStyle::Rgb{c.R / 2, c.G / 2, c.B / 2}; };
    long total = 0;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QRgb lit = face.pixel(x, y);
            total += Distance(panelAt(x, y),
                              PanelStyle::Rgb{qRed(lit) / 2, qGreen(lit) / 2, qBlue(lit) / 2});
        }
    }
    EXPECT_LE(static_cast<double>(total) / (face.width() * face.height()), 3.0);
    for (int x : Screen::GraticuleColumns) {
        if (x != Screen::CentreX) {
            EXPECT_LE(Distance(panelAt(x, 100), halved(PanelStyle::Graticule)), 12) << x;
            EXPECT_LE(Distance(panelAt(x + 15, 100), halved(PanelStyle::ScreenBackground)), 6);
        }
    }
    for (int y : Screen::GraticuleRows) {
        if (y != Screen::CentreY) {
            EXPECT_LE(Distance(panelAt(100, y), halved(PanelStyle::Graticule)), 12) << y;
        }
    }
    EXPECT_LE(Distance(panelAt(Screen::CentreX, 40), halved(PanelStyle::GraticuleCentre)), 12);
}

TEST_F(EmbeddedPictures, EveryZoneCarriesItsMarkOrValueLabel) {
    const QImage panel = Panel();
    for (const ClickZone& zone : ClickZones) {
        // The darkest pixel of the zone, away from the knob body and its ticks.
        int darkest = 255;
        for (int y = zone.Bounds.Top; y < zone.Bounds.Bottom(); ++y) {
            for (int x = zone.Bounds.Left; x < zone.Bounds.Right(); ++x) {
                if (zone.KnobId != Knob::None) {
                    const PointF c = DialCentreInWindow(zone.KnobId);
                    if (std::hypot(x + 0.5 - c.X, y + 0.5 - c.Y) <=
                        PanelStyle::TickOuterRadius + 1) {
                        continue;
                    }
                }
                darkest = std::min(darkest, Luminance(panel.pixel(x, y)));
            }
        }
        EXPECT_LT(darkest, 90) << zone.Name;
    }
}

TEST_F(EmbeddedPictures, SplashKeepsItsLabelBandPlain) {
    using namespace PanelStyle;
    const QImage intro = LoadJpeg(Resource("intro.jpg"));
    ASSERT_EQ(intro.size(), QSize(IntroWidth, IntroHeight));
    // Blue from top to bottom.
    EXPECT_LE(Distance(intro.pixel(IntroWidth / 2, 2), Rgb{0, 0, 150}), 40);
    EXPECT_LE(Distance(intro.pixel(IntroWidth - 2, IntroHeight - 1), Rgb{0, 0, 230}), 8);
    // Nothing but the gradient under the label.
    int worst = 0;
    for (int y = IntroHeight - IntroLabelBandHeight + 2; y < IntroHeight; ++y) {
        const int blue = 150 + (230 - 150) * y / (IntroHeight - 1);
        for (int x = IntroWidth - IntroLabelBandWidth + 2; x < IntroWidth; ++x) {
            worst = std::max(worst, Distance(intro.pixel(x, y), Rgb{0, 0, blue}));
        }
    }
    EXPECT_LE(worst, 8);
}
