#include "gui/StdCtrls.h"

#include "gui/Clipbrd.h"
#include "gui/Forms.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace vcl {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList SplitLines(const QString& text) {
    QString normal = text;
    normal.replace("\r\n", "\n");
    normal.replace('\r', '\n');
    return normal.split('\n');
}

} // namespace

// ---------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TWinControl* parent)
    : QWidget(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setAttribute(Qt::WA_TranslucentBackground, false);
    setAutoFillBackground(false);
    setMouseTracking(true);
    ApplyFont();
    AdjustBounds();
}

std::string TLabel::ShownText() const {
    return StripAccelerators(Q(CaptionText)).toStdString();
}

void TLabel::SetCaption(const std::string& caption) {
    CaptionText = caption;
    AdjustBounds();
    update();
}

void TLabel::SetAlignment(TAlignment alignment) {
    AlignmentValue = alignment;
    update();
}

void TLabel::SetLayout(TTextLayout layout) {
    LayoutValue = layout;
    update();
}

void TLabel::SetAutoSize(bool autoSize) {
    AutoSizeFlag = autoSize;
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) {
    TransparentFlag = transparent;
    update();
}

void TLabel::SetWordWrap(bool wrap) {
    WordWrapFlag = wrap;
    AdjustBounds();
    update();
}

void TLabel::SetFont(const TFont& font) {
    TControl::SetFont(font);
    AdjustBounds();
    update();
}

void TLabel::SetColor(TColor color) {
    TControl::SetColor(color);
    ColorSet = true;
}

void TLabel::AdjustBounds() {
    if (!AutoSizeFlag)
        return;
    const QFontMetrics metrics(font());
    const QStringList lines = SplitLines(StripAccelerators(Q(CaptionText)));
    int width = 0;
    int height = 0;
    if (WordWrapFlag) {
        const QRect box = metrics.boundingRect(QRect(0, 0, std::max(Width(), 1), 100000),
                                               Qt::TextWordWrap, lines.join('\n'));
        width = Width();
        height = box.height();
    } else {
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        height = static_cast<int>(lines.size()) * FontCellHeight(Font());
    }
    int left = Left();
    if (AlignmentValue == taRightJustify)
        left += Width() - width;
    SetBounds(left, Top(), width, height);
}

void TLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!TransparentFlag && ColorSet)
        painter.fillRect(rect(), ColorToQColor(Color()));
    painter.setFont(font());
    painter.setPen(ColorToQColor(Font().Color));
    const QFontMetrics metrics(font());
    const QString text = StripAccelerators(Q(CaptionText));
    Qt::Alignment horizontal = AlignmentValue == taRightJustify ? Qt::AlignRight
                               : AlignmentValue == taCenter     ? Qt::AlignHCenter
                                                                : Qt::AlignLeft;
    Qt::Alignment vertical = LayoutValue == tlCenter   ? Qt::AlignVCenter
                             : LayoutValue == tlBottom ? Qt::AlignBottom
                                                       : Qt::AlignTop;
    if (WordWrapFlag) {
        painter.drawText(rect(), horizontal | vertical | Qt::TextWordWrap, text);
        return;
    }
    const QStringList lines = SplitLines(text);
    const int cell = FontCellHeight(Font());
    const int baseline = FontBaseline(Font());
    const int block = static_cast<int>(lines.size()) * cell;
    int y = LayoutValue == tlCenter   ? (height() - block) / 2
            : LayoutValue == tlBottom ? height() - block
                                      : 0;
    for (const QString& line : lines) {
        const int w = metrics.horizontalAdvance(line);
        const int x = AlignmentValue == taRightJustify ? width() - w
                      : AlignmentValue == taCenter     ? (width() - w) / 2
                                                       : 0;
        painter.drawText(x, y + baseline, line);
        y += cell;
    }
}

// ---------------------------------------------------------------------------
// TButton

TButton::TButton(TWinControl* parent)
    : QPushButton(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { SafeCall([this] { Click(); }); });
}

std::string TButton::Caption() const {
    return text().toStdString();
}
void TButton::SetCaption(const std::string& caption) {
    setText(Q(caption));
}

void TButton::SetDefault(bool value) {
    DefaultFlag = value;
    setDefault(value);
}

void TButton::Click() {
    if (ModalResult != mrNone)
        if (TForm* form = OwnerForm())
            form->ModalResult = ModalResult;
    TControl::Click();
}

// ---------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(TWinControl* parent)
    : QCheckBox(parent ? parent->Container() : nullptr), TControl(this, parent) {
    connect(this, &QCheckBox::clicked, this, [this] { SafeCall(OnClick); });
}

std::string TCheckBox::Caption() const {
    return text().toStdString();
}
void TCheckBox::SetCaption(const std::string& caption) {
    setText(Q(caption));
}
bool TCheckBox::Checked() const {
    return isChecked();
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == isChecked())
        return;
    setChecked(checked);
    Click();
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TWinControl* parent)
    : QRadioButton(parent ? parent->Container() : nullptr), TControl(this, parent) {
    connect(this, &QRadioButton::pressed, this, [this] { WasChecked = isChecked(); });
    connect(this, &QRadioButton::clicked, this, [this] {
        // A click on the button already checked changes nothing.
        if (!WasChecked && isChecked())
            SafeCall(OnClick);
        WasChecked = isChecked();
    });
}

std::string TRadioButton::Caption() const {
    return text().toStdString();
}
void TRadioButton::SetCaption(const std::string& caption) {
    setText(Q(caption));
}
bool TRadioButton::Checked() const {
    return isChecked();
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == isChecked())
        return;
    if (!checked) {
        // Qt keeps one button of an exclusive set checked; the program may
        // uncheck them all.
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(true);
        return;
    }
    TurnSiblingsOff();
    setChecked(true);
    Click();
}

void TRadioButton::TurnSiblingsOff() {
    if (!parentWidget())
        return;
    for (QObject* child : parentWidget()->children())
        if (auto* sibling = dynamic_cast<TRadioButton*>(child); sibling && sibling != this)
            if (sibling->isChecked())
                sibling->SetChecked(false);
}

// ---------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TWinControl* parent)
    : QGroupBox(parent ? parent->Container() : nullptr), TWinControl(this, parent) {}

std::string TGroupBox::Caption() const {
    return title().toStdString();
}
void TGroupBox::SetCaption(const std::string& caption) {
    setTitle(Q(caption));
}

QRect TGroupBox::AlignRect() const {
    // Below the caption, inside the frame.
    const int text = QFontMetrics(font()).height();
    return QRect(2, text + 2, std::max(width() - 4, 0), std::max(height() - text - 4, 0));
}

void TGroupBox::SetFont(const TFont& font) {
    TWinControl::SetFont(font);
    Realign();
}

// ---------------------------------------------------------------------------
// TComboBox

TComboBox::TComboBox(TWinControl* parent)
    : QComboBox(parent ? parent->Container() : nullptr), TControl(this, parent) {
    SetStyle(csDropDown);
    Items.OnChange = [this] { ItemsChanged(); };
    connect(this, &QComboBox::activated, this, [this](int) {
        if (!Syncing)
            SafeCall(OnChange);
    });
}

int TComboBox::ItemIndex() const {
    return currentIndex();
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= count())
        index = -1;
    Syncing = true;
    setCurrentIndex(index);
    Syncing = false;
}

std::string TComboBox::Text() const {
    return currentText().toStdString();
}

void TComboBox::SetText(const std::string& text) {
    const int index = findText(Q(text));
    if (index >= 0 || !isEditable()) {
        SetItemIndex(index);
        return;
    }
    setEditText(Q(text));
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    StyleValue = style;
    Syncing = true;
    const int index = currentIndex();
    setEditable(style == csDropDown);
    setCurrentIndex(index);
    Syncing = false;
}

int TComboBox::DropDownCount() const {
    return maxVisibleItems();
}
void TComboBox::SetDropDownCount(int count) {
    setMaxVisibleItems(std::max(count, 1));
}

void TComboBox::ItemsChanged() {
    const int kept = currentIndex() < Items.Count() ? currentIndex() : -1;
    Syncing = true;
    clear();
    for (const std::string& item : Items.Items())
        addItem(Q(item));
    // Qt selects the first item of a filled list; the program's list keeps
    // its index (none after a clear).
    setCurrentIndex(kept);
    Syncing = false;
}

void TComboBox::showPopup() {
    PopupOpen = true;
    SafeCall(OnDropDown);
    QComboBox::showPopup();
}

void TComboBox::hidePopup() {
    QComboBox::hidePopup();
    if (!PopupOpen)
        return;
    PopupOpen = false;
    // Qt closes the list before it takes the chosen item: the handler runs
    // once the choice is made, with ItemIndex as the user left it.
    QMetaObject::invokeMethod(
        this, [this] { SafeCall(OnCloseUp); }, Qt::QueuedConnection);
}

void TComboBox::DropDown() {
    SafeCall(OnDropDown);
}

void TComboBox::CloseUp(int chosenIndex) {
    if (chosenIndex >= 0 && chosenIndex < count()) {
        const bool changed = chosenIndex != currentIndex();
        SetItemIndex(chosenIndex);
        if (changed)
            SafeCall(OnChange);
    }
    SafeCall(OnCloseUp);
}

// ---------------------------------------------------------------------------
// TEdit

TEdit::TEdit(TWinControl* parent)
    : QLineEdit(parent ? parent->Container() : nullptr), TControl(this, parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { SafeCall(OnChange); });
}

std::string TEdit::Text() const {
    return text().toStdString();
}
void TEdit::SetText(const std::string& text) {
    setText(Q(text));
}
bool TEdit::ReadOnly() const {
    return isReadOnly();
}
void TEdit::SetReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

void TEdit::SetColor(TColor color) {
    TControl::SetColor(color);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, ColorToQColor(color));
    setPalette(palette);
}

// ---------------------------------------------------------------------------
// TMemo

TMemo::TMemo(TWinControl* parent)
    : QPlainTextEdit(parent ? parent->Container() : nullptr), TControl(this, parent) {
    Lines.OnChange = [this] {
        if (Syncing)
            return;
        Syncing = true;
        QString text = Q(Lines.Text());
        text.replace("\r\n", "\n");
        setPlainText(text);
        Syncing = false;
    };
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (Syncing)
            return;
        Syncing = true;
        std::vector<std::string> lines;
        for (const QString& line : SplitLines(toPlainText()))
            lines.push_back(line.toStdString());
        if (!lines.empty() && lines.back().empty())
            lines.pop_back();
        Lines.Assign(lines);
        Syncing = false;
    });
}

std::string TMemo::Text() const {
    return Lines.Text();
}

void TMemo::SetText(const std::string& text) {
    std::vector<std::string> lines;
    for (const QString& line : SplitLines(Q(text)))
        lines.push_back(line.toStdString());
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    Lines.Assign(lines);
}

void TMemo::SelectAll() {
    selectAll();
}

void TMemo::CopyToClipboard() {
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, "\r\n");
    selected.replace(QChar::LineSeparator, "\r\n");
    Clipboard()->SetAsText(selected.toStdString());
}

} // namespace vcl
