// The data files beside the programs: the screen face and the 24 knob pictures,
// in the build tree and in the install, drawn the same on every run.
#include <cmath>
#include <vector>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include "EmbeddedPictures.h"
#include "PictureSupport.h"
#include "panel_layout.h"

using namespace PanelLayout;
using namespace picturetest;

namespace {

// Names of the 25 data files, from the layout table.
std::vector<QString> DataFileNames() {
    std::vector<QString> names{
        QString::fromUtf8(Screen::BackgroundFile.data(), Screen::BackgroundFile.size())};
    for (const ClickZone& zone : ClickZones) {
        if (!zone.PictureFile.empty()) {
            names.push_back(QString::fromUtf8(zone.PictureFile.data(), zone.PictureFile.size()));
        }
    }
    return names;
}

// Checks that a folder holds every data file, decodable and of its size.
void ExpectDataFiles(const QDir& folder) {
    const std::vector<QString> names = DataFileNames();
    ASSERT_EQ(names.size(), 25u);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        if (name.endsWith(QLatin1String(".bmp"))) {
            QByteArray format;
            const QImage image = LoadWithQt(path, &format);
            EXPECT_EQ(format, "bmp");
            EXPECT_EQ(image.size(), QSize(Screen::PlotWidth, Screen::PlotHeight));
        } else {
            const QImage image = LoadJpeg(path);
            ASSERT_FALSE(image.isNull()) << path.toStdString();
            EXPECT_EQ(image.size(), QSize(KnobPictureWidth, KnobPictureHeight))
                << path.toStdString();
            EXPECT_TRUE(IsBaselineWithoutSubsampling(ReadBytes(path))) << path.toStdString();
        }
    }
}

QImage ScreenFace() {
    return LoadWithQt(DataFile(Screen::BackgroundFile));
}

QPointF Unit(Knob knob, int position) {
    const PointF v = PointerVector(knob, position);
    const double length = std::hypot(v.X, v.Y);
    return {v.X / length, v.Y / length};
}

QString RunProcess(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        return QStringLiteral("did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return QString::fromLocal8Bit(process.readAllStandardError());
    }
    return {};
}

} // namespace

TEST(PictureFiles, EveryDataFileIsBesideTheProgramsWithItsSize) {
    ExpectDataFiles(QDir(QStringLiteral(KESTROVA_DATA_DIR)));
}

TEST(PictureFiles, ScreenFaceIsAnUncompressedBottomUp24BitBitmap) {
    const QByteArray bytes = ReadBytes(DataFile(Screen::BackgroundFile));
    ASSERT_GE(bytes.size(), 54);
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 2), static_cast<quint32>(bytes.size()));
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 10), 54u);               // pixels right after
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 14), 40u);               // info header size
    EXPECT_EQ(qFromLittleEndian<qint32>(b + 18), Screen::PlotWidth);  // width
    EXPECT_EQ(qFromLittleEndian<qint32>(b + 22), Screen::PlotHeight); // positive: bottom-up
    EXPECT_EQ(qFromLittleEndian<quint16>(b + 28), 24);                // bits per pixel
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 30), 0u);                // BI_RGB, uncompressed
    const int rowBytes = (Screen::PlotWidth * 3 + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), 54 + rowBytes * Screen::PlotHeight);
}

TEST(PictureFiles, ScreenFaceGraticule) {
    const QImage face = ScreenFace();
    ASSERT_EQ(face.size(), QSize(Screen::PlotWidth, Screen::PlotHeight));
    auto colourAt = [&](int x, int y) { return Describe(face.pixel(x, y)); };
    auto describe = [](PanelStyle::Rgb c) { return Describe(qRgb(c.R, c.G, c.B)); };
    const std::string line = describe(PanelStyle::Graticule);
    const std::string centre = describe(PanelStyle::GraticuleCentre);
    const std::string background = describe(PanelStyle::ScreenBackground);

    // Sample lines away from the centre lines and their ticks.
    const int sampleRows[] = {20, 100, 250};
    const int sampleColumns[] = {25, 140, 330};
    for (int x : Screen::GraticuleColumns) {
        for (int y : sampleRows) {
            EXPECT_EQ(colourAt(x, y), x == Screen::CentreX ? centre : line) << "column " << x;
        }
    }
    for (int y : Screen::GraticuleRows) {
        for (int x : sampleColumns) {
            EXPECT_EQ(colourAt(x, y), y == Screen::CentreY ? centre : line) << "row " << y;
        }
    }
    EXPECT_EQ(Screen::CentreX, 196);

    // Cell interiors, and the columns and rows that other roundings would give
    // (197 for 190.5 rounded up, 109 + 152 for 3 divisions down is 261 not 262).
    const std::pair<int, int> plain[] = {{25, 25},  {100, 200}, {365, 290}, {197, 100},
                                         {380, 20}, {250, 262}, {250, 303}, {50, 0}};
    for (auto [x, y] : plain) {
        EXPECT_EQ(colourAt(x, y), background) << x << ", " << y;
    }

    // Ticks every fifth of a division on both centre lines.
    for (int m = 1; m <= 4; ++m) {
        const int x = Screen::OriginX + RoundHalfEven(Screen::PixelsPerTimeDivision / 5 * m);
        EXPECT_EQ(colourAt(x, Screen::CentreY - 2), centre) << "tick at x " << x;
        EXPECT_EQ(colourAt(x, Screen::CentreY + 2), centre) << "tick at x " << x;
        EXPECT_EQ(colourAt(x + 2, Screen::CentreY - 2), background) << "between ticks " << x;
        const int y = Screen::CentreY + RoundHalfEven(Screen::PixelsPerDivision / 5 * m);
        EXPECT_EQ(colourAt(Screen::CentreX - 2, y), centre) << "tick at y " << y;
        EXPECT_EQ(colourAt(Screen::CentreX + 2, y + 2), background) << "between ticks " << y;
    }
}

TEST(PictureFiles, EachKnobFileShowsThePointerOnItsOwnPositionOnly) {
    for (const KnobLayout& knob : Knobs) {
        for (int p = 0; p < KnobPositionCount; ++p) {
            const ClickZone& zone = KnobZone(knob.Id, p);
            const QImage image = LoadJpeg(DataFile(zone.PictureFile));
            ASSERT_FALSE(image.isNull()) << zone.PictureFile;
            for (int q = 0; q < KnobPositionCount; ++q) {
                const QPointF at = QPointF(knob.DialCentre.X, knob.DialCentre.Y) +
                                   Unit(knob.Id, q) * 15.0 + QPointF(0.5, 0.5);
                const QRgb pixel = PixelAt(image, at.x(), at.y());
                if (q == p) {
                    EXPECT_LE(Distance(pixel, PanelStyle::Pointer), 40)
                        << zone.PictureFile << ": pointer missing, " << Describe(pixel);
                } else {
                    EXPECT_LE(Distance(pixel, PanelStyle::KnobBody), 16)
                        << zone.PictureFile << ": towards position " << q << " " << Describe(pixel);
                }
            }
        }
    }
}

TEST(PictureFiles, KnobFilesDifferFromTheDesignPictureOnlyInsideTheBody) {
    InitEmbeddedPictures();
    for (const KnobLayout& knob : Knobs) {
        const QImage design = LoadJpeg(Resource(knob.DesignPicture));
        ASSERT_EQ(design.size(), QSize(KnobPictureWidth, KnobPictureHeight));
        EXPECT_EQ(ReadBytes(Resource(knob.DesignPicture)),
                  ReadBytes(DataFile(KnobZone(knob.Id, knob.StartPosition).PictureFile)));
        for (int p = 0; p < KnobPositionCount; ++p) {
            const QImage image = LoadJpeg(DataFile(KnobZone(knob.Id, p).PictureFile));
            int worst = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const double r =
                        std::hypot(x + 0.5 - knob.DialCentre.X, y + 0.5 - knob.DialCentre.Y);
                    if (r > PanelStyle::KnobRadius + 3) {
                        worst = std::max(worst, Distance(image.pixel(x, y), design.pixel(x, y)));
                    }
                }
            }
            EXPECT_LE(worst, 24) << KnobZone(knob.Id, p).PictureFile;
        }
    }
}

TEST(PictureFiles, GeneratorDrawsTheSameBytesOnEveryRun) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QDir data(folder.filePath(QStringLiteral("data")));
    const QDir embedded(folder.filePath(QStringLiteral("embedded")));
    const QString failure = RunProcess(QStringLiteral(PICGEN_PATH), {data.path(), embedded.path()});
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    for (const QString& name : DataFileNames()) {
        EXPECT_EQ(ReadBytes(data.filePath(name)),
                  ReadBytes(QDir(QStringLiteral(KESTROVA_DATA_DIR)).filePath(name)))
            << name.toStdString();
    }
    const QDir built(QStringLiteral(PICGEN_EMBEDDED_DIR));
    const QStringList names = built.entryList(QDir::Files);
    EXPECT_EQ(names.size(), 14);
    EXPECT_EQ(embedded.entryList(QDir::Files), names);
    for (const QString& name : names) {
        EXPECT_EQ(ReadBytes(embedded.filePath(name)), ReadBytes(built.filePath(name)))
            << name.toStdString();
    }
}

TEST(PictureFiles, InstallPutsTheDataFilesBesideThePrograms) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString failure =
        RunProcess(QStringLiteral(CMAKE_COMMAND_PATH),
                   {QStringLiteral("--install"), QStringLiteral(KESTROVA_BUILD_DIR),
                    QStringLiteral("--component"), QStringLiteral("pictures"),
                    QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    const QDir bin(prefix.filePath(QStringLiteral("bin")));
    ExpectDataFiles(bin);
    for (const QString& name : DataFileNames()) {
        EXPECT_EQ(ReadBytes(bin.filePath(name)), ReadBytes(DataFile(name.toStdString())))
            << name.toStdString();
    }
    for (const char* icon : {"kestrova.png", "trevalume1.png"}) {
        const QString path =
            prefix.filePath(QStringLiteral("share/icons/hicolor/256x256/apps/") + icon);
        EXPECT_EQ(LoadWithQt(path).size(), QSize(256, 256)) << icon;
    }
}
