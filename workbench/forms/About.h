// The about box "A propos": the program's icon, name and version, an authors
// line, a maker line, a few sentences and a link to the publisher's web page.
// Shared by both programs; each gives its own texts.
#pragma once

#include "gui/Vcl.h"

#include <string>

namespace About {

using namespace vcl;

struct AboutTexts {
    std::string ProductName;
    std::string Version;
    std::string Authors;
    std::string Maker;
    std::string Comments;
    std::string LinkText;
    std::string LinkUrl;
    std::string IconResource; // a picture stored with the program (":/pictures/...")
};

// The texts of the workbench's about box.
AboutTexts WorkbenchAboutTexts();

class TAboutBox : public TForm {
public:
    TAboutBox();
    ~TAboutBox() override;

    TPanel* Panel1;
    TImage* ProgramIcon;
    TLabel* ProductName;
    TLabel* Version;
    TLabel* Copyright; // the authors line
    TLabel* Label2;    // the maker line
    TLabel* Comments;
    TLabel* Label3; // the link to the web page
    TButton* OKButton;

    // Puts the texts and the icon of a program into the box.
    void SetTexts(const AboutTexts& texts);
    const AboutTexts& Texts() const { return Current; }

    // Opens the link's page in the default browser.
    void Label3Click();

private:
    AboutTexts Current;
};

extern TAboutBox* AboutBox;

} // namespace About
