// Standard controls: label, button, check box, radio button, group box,
// combo box, edit, memo.
#pragma once

#include "gui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vcl {

// A text drawn by this layer: "&x" underlines nothing and shows "x" ("&&"
// shows "&"), lines split at "\r\n", "\n" or "\r". With AutoSize the size
// follows the text (a right-justified label keeps its right edge).
// Transparent labels draw no background.
class TLabel : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TLabel(TWinControl* parent);
    std::string Caption() const { return CaptionText; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return AlignmentValue; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return LayoutValue; }
    void SetLayout(TTextLayout layout);
    bool AutoSize() const { return AutoSizeFlag; }
    void SetAutoSize(bool autoSize);
    bool Transparent() const { return TransparentFlag; }
    void SetTransparent(bool transparent);
    bool WordWrap() const { return WordWrapFlag; }
    void SetWordWrap(bool wrap);
    void SetFont(const TFont& font) override;
    void SetColor(TColor color) override;
    // The text as shown (accelerator marks removed).
    std::string ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool OwnsMouse() const override { return true; }

private:
    void AdjustBounds();
    std::string CaptionText;
    TAlignment AlignmentValue = taLeftJustify;
    TTextLayout LayoutValue = tlTop;
    bool AutoSizeFlag = true;
    bool TransparentFlag = false;
    bool WordWrapFlag = false;
    bool ColorSet = false; // else the parent's colour shows through
};

class TButton : public QPushButton, public TControl {
    Q_OBJECT
public:
    explicit TButton(TWinControl* parent);
    std::string Caption() const;
    void SetCaption(const std::string& caption); // "&" marks the access key
    // A click sets the form's ModalResult to this value (when not mrNone).
    TModalResult ModalResult = mrNone;
    bool Default() const { return DefaultFlag; } // Enter clicks it
    void SetDefault(bool value);
    bool Cancel = false; // Escape clicks it
    void Click() override;

private:
    bool DefaultFlag = false;
};

// Setting Checked from code to a new value runs OnClick exactly as a user's
// click does; setting the same value runs nothing.
class TCheckBox : public QCheckBox, public TControl {
    Q_OBJECT
public:
    explicit TCheckBox(TWinControl* parent);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Checked() const;
    void SetChecked(bool checked);
};

// Radio buttons of one parent exclude each other. Setting Checked to true
// from code turns the siblings off and runs OnClick (as a click does);
// setting it to false unchecks it without running anything.
class TRadioButton : public QRadioButton, public TControl {
    Q_OBJECT
public:
    explicit TRadioButton(TWinControl* parent);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Checked() const;
    void SetChecked(bool checked);

private:
    void TurnSiblingsOff();
    bool WasChecked = false;
};

class TGroupBox : public QGroupBox, public TWinControl {
    Q_OBJECT
public:
    explicit TGroupBox(TWinControl* parent);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    QRect AlignRect() const override;
    void SetFont(const TFont& font) override;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

// Items and ItemIndex as VCL keeps them: filling an empty list leaves
// ItemIndex at -1 (no item chosen) until it is set. OnChange runs when the
// user picks an item; OnCloseUp when the list has closed (from the next
// message processing, after OnChange), with ItemIndex as the user left it
// (-1 when the list closed with nothing chosen). Setting ItemIndex from code
// runs neither.
class TComboBox : public QComboBox, public TControl {
    Q_OBJECT
public:
    explicit TComboBox(TWinControl* parent);
    TStrings Items;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const;
    void SetText(const std::string& text);
    TComboBoxStyle Style() const { return StyleValue; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const;
    void SetDropDownCount(int count);
    // Opens and closes the list as the user does (tests): CloseUp runs
    // OnCloseUp after choosing index (-1: closed with nothing chosen).
    void DropDown();
    void CloseUp(int chosenIndex);

    TNotifyEvent OnChange;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;

protected:
    void showPopup() override;
    void hidePopup() override;

private:
    void ItemsChanged();
    TComboBoxStyle StyleValue = csDropDown;
    bool Syncing = false;
    bool PopupOpen = false;
};

// OnChange runs on every change of the text, from the user or from code.
class TEdit : public QLineEdit, public TControl {
    Q_OBJECT
public:
    explicit TEdit(TWinControl* parent);
    std::string Text() const;
    void SetText(const std::string& text);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    void SetColor(TColor color) override;
    TNotifyEvent OnChange;
};

class TMemo : public QPlainTextEdit, public TControl {
    Q_OBJECT
public:
    explicit TMemo(TWinControl* parent);
    TStrings Lines;
    std::string Text() const;
    void SetText(const std::string& text);
    void SelectAll();
    void CopyToClipboard();

private:
    bool Syncing = false;
};

} // namespace vcl
