#include "About.h"

#include "core/Desktop.h"

namespace About {

TAboutBox* AboutBox = nullptr;

AboutTexts WorkbenchAboutTexts() {
    AboutTexts texts;
    texts.ProductName = "Kestrova USB";
    texts.Version = "Version 1.0";
    texts.Authors = "Conception et programmation : l'équipe Kestrova";
    texts.Maker = "Interface de mesure USB à deux voies";
    texts.Comments = "Mesures en direct, enregistrement de séries, graphiques, tableaux et "
                     "impression pour les travaux pratiques de sciences.";
    texts.LinkText = "Site de l'éditeur";
    texts.LinkUrl = "https://www.example.org/kestrova/";
    texts.IconResource = ":/pictures/kestrova.png";
    return texts;
}

TAboutBox::TAboutBox() {
    SetCaption("A propos");
    SetClientSize(330, 236);
    SetBorderStyle(bsDialog);
    Position = poScreenCenter;

    Panel1 = new TPanel(this);
    Panel1->SetBounds(8, 8, 314, 184);
    Panel1->SetBevelOuter(bvLowered);

    ProgramIcon = new TImage(Panel1);
    ProgramIcon->SetBounds(8, 8, 64, 64);
    ProgramIcon->Stretch = true;
    ProgramIcon->Proportional = true;
    ProgramIcon->Center = true;

    TFont bold = Font();
    bold.Style = fsBold;
    bold.Height = -13;
    ProductName = new TLabel(Panel1);
    ProductName->SetFont(bold);
    ProductName->SetLeft(88);
    ProductName->SetTop(12);
    Version = new TLabel(Panel1);
    Version->SetLeft(88);
    Version->SetTop(36);

    auto wrapped = [this](int top, int height) {
        auto* label = new TLabel(Panel1);
        label->SetAutoSize(false);
        label->SetWordWrap(true);
        label->SetBounds(8, top, 298, height);
        return label;
    };
    Copyright = wrapped(80, 16);
    Label2 = wrapped(98, 16);
    Comments = wrapped(116, 40);

    Label3 = new TLabel(Panel1);
    TFont link = Font();
    link.Color = clBlue;
    link.Style = fsUnderline;
    Label3->SetFont(link);
    Label3->SetLeft(8);
    Label3->SetTop(160);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->OnClick = [this] { Label3Click(); };

    OKButton = new TButton(this);
    OKButton->SetCaption("OK");
    OKButton->SetBounds(127, 202, 75, 25);
    OKButton->ModalResult = mrOk;
    OKButton->SetDefault(true);
    OKButton->Cancel = true;

    SetTexts(WorkbenchAboutTexts());
    if (!AboutBox)
        AboutBox = this;
}

void TAboutBox::SetTexts(const AboutTexts& texts) {
    Current = texts;
    ProductName->SetCaption(texts.ProductName);
    Version->SetCaption(texts.Version);
    Copyright->SetCaption(texts.Authors);
    Label2->SetCaption(texts.Maker);
    Comments->SetCaption(texts.Comments);
    Label3->SetCaption(texts.LinkText);
    const QImage icon(QString::fromStdString(texts.IconResource));
    if (icon.isNull())
        ProgramIcon->ClearPicture();
    else
        ProgramIcon->SetPicture(icon);
}

void TAboutBox::Label3Click() {
    platform::OpenWebPage(Current.LinkUrl);
}

TAboutBox::~TAboutBox() {
    if (AboutBox == this)
        AboutBox = nullptr;
}

} // namespace About
