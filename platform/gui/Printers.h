// The printer: one shared QPrinter (print set-up dialog included). With no
// printer installed, or when an output file is set (tests), it prints to a
// PDF file. Pages are measured in printer pixels at Resolution dots per inch.
#pragma once

#include <QImage>

#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QPainter;

namespace vcl {
class TCanvas;

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter {
public:
    TPrinter();
    ~TPrinter();

    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation orientation);
    std::string Title;
    // Printer pixels per inch (300 unless the set-up chose otherwise).
    int Resolution() const;
    int PageWidth() const; // pixels of the printable page
    int PageHeight() const;
    // Prints to this PDF file instead of the printer (empty: the printer or,
    // without one, "<Title>.pdf" in the current folder).
    void SetOutputFile(const std::string& path);
    std::string OutputFile() const;
    // The system's printer names (empty without a print system).
    static std::vector<std::string> Printers();
    // The chosen printer as an index into Printers(); -1 for the system's
    // default printer (and whenever there is no printer). Setting an index
    // outside the list chooses the default printer; while an output file is
    // set the choice is left alone.
    int PrinterIndex() const;
    void SetPrinterIndex(int index);

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return PrintingNow; }
    int PageNumber() const { return Page; }
    // The canvas of the current page (between BeginDoc and EndDoc).
    TCanvas* Canvas();
    QPainter* Painter() const;

    QPrinter& QtPrinter();

private:
    std::unique_ptr<QPrinter> Device;
    std::unique_ptr<QPainter> PagePainter;
    std::unique_ptr<TCanvas> PageCanvas;
    bool PrintingNow = false;
    int Page = 0;
};

TPrinter* Printer();

} // namespace vcl
