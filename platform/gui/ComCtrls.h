// Up-down controls, spin buttons, spin edits, status bars and string grids.
#pragma once

#include "gui/Controls.h"

#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QWidget>

class QToolButton;
class QLabel;

namespace vcl {
class TEdit;

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udVertical, udHorizontal };

// Two arrow buttons moving Position by Increment between Min and Max (no
// wrap). A click moves the position (clamped), shows it in the Associate
// edit, then runs OnClick with the button; OnChanging may refuse the move.
// Setting Position from code runs nothing.
class TUpDown : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TUpDown(TWinControl* parent);
    int Position() const { return PositionValue; }
    void SetPosition(int position);
    int Min() const { return MinValue; }
    void SetMin(int min);
    int Max() const { return MaxValue; }
    void SetMax(int max);
    int Increment = 1;
    TUDOrientation Orientation() const { return OrientationValue; }
    void SetOrientation(TUDOrientation orientation);
    TEdit* Associate() const { return AssociateEdit; }
    void SetAssociate(TEdit* edit);
    // What a click on one of the arrows does.
    void ClickButton(TUDBtnType button);
    QToolButton* ArrowButton(TUDBtnType button) const;

    // OnMouseUp (of TControl) runs when a mouse button is released over an
    // arrow, after the arrow's click has moved the position.
    // Hides TControl::OnClick: the up-down's click names its button.
    std::function<void(TUDBtnType button)> OnClick;
    std::function<void(bool& allowChange)> OnChanging;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();
    void ShowInAssociate();
    int PositionValue = 0;
    int MinValue = 0;
    int MaxValue = 100;
    TUDOrientation OrientationValue = udVertical;
    TEdit* AssociateEdit = nullptr;
    QToolButton* UpButton;
    QToolButton* DownButton;
};

// Two arrow buttons, no position: OnUpClick and OnDownClick.
class TSpinButton : public QWidget, public TControl {
    Q_OBJECT
public:
    explicit TSpinButton(TWinControl* parent);
    void ClickUp();
    void ClickDown();
    QToolButton* UpButton() const { return Up; }
    QToolButton* DownButton() const { return Down; }
    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* Up;
    QToolButton* Down;
};

// A number with arrows. Values are clamped to MinValue..MaxValue (steps of
// Increment stop at the bounds). OnChange runs on every change of Value,
// from the user or from code. EditorEnabled off: typing is refused.
class TSpinEdit : public QSpinBox, public TControl {
    Q_OBJECT
public:
    explicit TSpinEdit(TWinControl* parent);
    int Value() const;
    void SetValue(int value);
    int MinValue() const;
    void SetMinValue(int value);
    int MaxValue() const;
    void SetMaxValue(int value);
    int Increment() const;
    void SetIncrement(int step);
    bool EditorEnabled() const { return EditorOn; }
    void SetEditorEnabled(bool enabled);
    // What one click on the up (steps > 0) or down arrow does.
    void Step(int steps);
    TNotifyEvent OnChange;

private:
    bool EditorOn = true;
};

// Status bar with panels (each a text and a width; the last one takes the
// rest), or one simple text.
class TStatusBar : public QStatusBar, public TControl {
    Q_OBJECT
public:
    explicit TStatusBar(TWinControl* parent);
    int PanelCount() const { return static_cast<int>(Labels.size()); }
    // Adds a panel; returns its index.
    int AddPanel(int width, const std::string& text = {});
    std::string PanelText(int index) const;
    void SetPanelText(int index, const std::string& text);
    void SetPanelWidth(int index, int width);
    bool SimplePanel() const { return Simple; }
    void SetSimplePanel(bool simple);
    std::string SimpleText() const { return SimpleString; }
    void SetSimpleText(const std::string& text);

private:
    void Arrange();
    std::vector<QLabel*> Labels;
    std::vector<int> Widths;
    QLabel* SimpleLabel;
    bool Simple = false;
    std::string SimpleString;
};

enum TGridOption : unsigned {
    goColSizing = 1u << 0,
    goRowSelect = 1u << 1,
    goGridLines = 1u << 2,
    goEditing = 1u << 3,
};

// A grid of texts. The first FixedRows rows and FixedCols columns are
// header cells (button face). Cells(col, row) as VCL indexes them.
class TStringGrid : public QTableWidget, public TControl {
    Q_OBJECT
public:
    explicit TStringGrid(TWinControl* parent);
    int ColCount() const;
    void SetColCount(int count);
    int RowCount() const;
    void SetRowCount(int count);
    int FixedCols() const { return FixedColCount; }
    void SetFixedCols(int count);
    int FixedRows() const { return FixedRowCount; }
    void SetFixedRows(int count);
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int DefaultRowHeight() const { return RowHeight; }
    void SetDefaultRowHeight(int height);
    int DefaultColWidth() const { return ColWidth; }
    void SetDefaultColWidth(int width);
    unsigned Options() const { return OptionBits; }
    void SetOptions(unsigned options);
    // The current row: setting it selects the row (a fixed row selects
    // nothing) and scrolls the grid so that it is in view.
    int Row() const { return CurrentRow; }
    void SetRow(int row);

private:
    void StyleCell(int col, int row);
    // Brings the rows' layout and the scroll bars up to date at once.
    void SettleLayout();
    int FixedColCount = 1;
    int FixedRowCount = 1;
    int RowHeight = 24;
    int ColWidth = 64;
    unsigned OptionBits = goGridLines;
    int CurrentRow = 1;
};

} // namespace vcl
