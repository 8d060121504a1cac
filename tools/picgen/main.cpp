// picgen <data folder> <embedded folder>
//
// Draws every picture of both programs. The data folder receives the files the
// oscilloscope reads at run time (its screen face and the 24 knob pictures);
// the embedded folder receives the pictures built into the programs as
// resources (front panel, design-time knobs, splash, tool bar, icons).
// Same bytes on every run: no time stamps, no randomness.
#include <cstdio>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>

#include "Artwork.h"
#include "JpegWriter.h"
#include "PanelDrawing.h"
#include "panel_layout.h"

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QByteArray Encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format)) {
        return {};
    }
    return bytes;
}

QString FileName(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool WritePictures(const QDir& data, const QDir& embedded) {
    using namespace PanelLayout;
    bool ok = true;

    ok &=
        WriteBytes(data.filePath(FileName(Screen::BackgroundFile)),
                   Encoded(picgen::DrawScreenFace().convertToFormat(QImage::Format_RGB888), "BMP"));

    // Each knob file is the knob's rectangle of the whole panel with that knob
    // turned, so that it carries the labels and marks around it exactly.
    const picgen::KnobPositions start = picgen::StartPositions();
    for (const KnobLayout& knob : Knobs) {
        for (int p = 0; p < KnobPositionCount; ++p) {
            picgen::KnobPositions positions = start;
            positions[static_cast<std::size_t>(knob.Id)] = p;
            const QByteArray bytes =
                picgen::EncodeJpeg(picgen::CropKnob(picgen::DrawPanel(positions), knob.Id));
            ok &= WriteBytes(data.filePath(FileName(KnobZone(knob.Id, p).PictureFile)), bytes);
            if (p == knob.StartPosition) {
                ok &= WriteBytes(embedded.filePath(FileName(knob.DesignPicture)), bytes);
            }
        }
    }

    ok &= WriteBytes(embedded.filePath(FileName(PanelPicture)),
                     picgen::EncodeJpeg(picgen::DrawPanel(start)));
    ok &= WriteBytes(embedded.filePath(QStringLiteral("intro.jpg")),
                     picgen::EncodeJpeg(picgen::DrawIntro()));
    for (int i = 0; i < picgen::ToolPictureCount; ++i) {
        ok &= WriteBytes(embedded.filePath(QStringLiteral("outil%1.png").arg(i)),
                         Encoded(picgen::DrawToolPicture(i), "PNG"));
    }
    ok &= WriteBytes(embedded.filePath(QStringLiteral("kestrova.png")),
                     Encoded(picgen::DrawWorkbenchIcon(), "PNG"));
    ok &= WriteBytes(embedded.filePath(QStringLiteral("trevalume1.png")),
                     Encoded(picgen::DrawScopeIcon(), "PNG"));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: picgen <data folder> <embedded folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir data(QString::fromLocal8Bit(argv[1]));
    const QDir embedded(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(data.path()) || !QDir().mkpath(embedded.path())) {
        std::fprintf(stderr, "picgen: cannot create the output folders\n");
        return 1;
    }
    return WritePictures(data, embedded) ? 0 : 1;
}
