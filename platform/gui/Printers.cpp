#include "gui/Printers.h"

#include "gui/Canvas.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <stdexcept>

namespace vcl {

namespace {
constexpr int DefaultResolution = 300;
}

TPrinter::TPrinter() : Device(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    Device->setResolution(DefaultResolution);
    Device->setFullPage(false);
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        Device->setOutputFormat(QPrinter::PdfFormat);
}

TPrinter::~TPrinter() {
    if (PrintingNow)
        Abort();
}

TPrinterOrientation TPrinter::Orientation() const {
    return Device->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
    Device->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
}

int TPrinter::Resolution() const {
    return Device->resolution();
}
int TPrinter::PageWidth() const {
    return Device->width();
}
int TPrinter::PageHeight() const {
    return Device->height();
}

void TPrinter::SetOutputFile(const std::string& path) {
    Device->setOutputFileName(QString::fromStdString(path));
    if (path.empty() && !QPrinterInfo::availablePrinterNames().isEmpty())
        Device->setOutputFormat(QPrinter::NativeFormat);
    else if (!path.empty())
        Device->setOutputFormat(QPrinter::PdfFormat);
}

std::string TPrinter::OutputFile() const {
    return Device->outputFileName().toStdString();
}

std::vector<std::string> TPrinter::Printers() {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(name.toStdString());
    return names;
}

int TPrinter::PrinterIndex() const {
    const std::vector<std::string> names = Printers();
    const std::string current = Device->printerName().toStdString();
    if (current.empty() || current == QPrinterInfo::defaultPrinterName().toStdString())
        return -1;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == current)
            return static_cast<int>(i);
    return -1;
}

void TPrinter::SetPrinterIndex(int index) {
    if (!Device->outputFileName().isEmpty())
        return;
    const std::vector<std::string> names = Printers();
    if (names.empty())
        return;
    if (index >= 0 && index < static_cast<int>(names.size()))
        Device->setPrinterName(QString::fromStdString(names[static_cast<size_t>(index)]));
    else
        Device->setPrinterName(QPrinterInfo::defaultPrinterName());
}

void TPrinter::BeginDoc() {
    if (PrintingNow)
        throw std::runtime_error("Impression en cours");
    Device->setDocName(QString::fromStdString(Title));
    if (Device->outputFormat() == QPrinter::PdfFormat && Device->outputFileName().isEmpty())
        Device->setOutputFileName(
            QString::fromStdString((Title.empty() ? "impression" : Title) + ".pdf"));
    PagePainter = std::make_unique<QPainter>();
    if (!PagePainter->begin(Device.get())) {
        PagePainter.reset();
        throw std::runtime_error("L'imprimante n'est pas disponible");
    }
    PageCanvas = std::make_unique<TCanvas>(PagePainter.get());
    PrintingNow = true;
    Page = 1;
}

void TPrinter::NewPage() {
    if (!PrintingNow)
        return;
    Device->newPage();
    ++Page;
}

void TPrinter::EndDoc() {
    if (!PrintingNow)
        return;
    PageCanvas.reset();
    PagePainter->end();
    PagePainter.reset();
    PrintingNow = false;
}

void TPrinter::Abort() {
    if (!PrintingNow)
        return;
    Device->abort();
    PageCanvas.reset();
    if (PagePainter->isActive())
        PagePainter->end();
    PagePainter.reset();
    PrintingNow = false;
}

TCanvas* TPrinter::Canvas() {
    return PageCanvas.get();
}
QPainter* TPrinter::Painter() const {
    return PagePainter.get();
}
QPrinter& TPrinter::QtPrinter() {
    return *Device;
}

TPrinter* Printer() {
    static TPrinter printer;
    return &printer;
}

} // namespace vcl
