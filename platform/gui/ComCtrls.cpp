#include "gui/ComCtrls.h"

#include "gui/StdCtrls.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>

namespace vcl {

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(false);
    return button;
}

// Two arrow buttons filling parent, one above the other (or side by side).
void ArrangeArrows(QWidget* parent, QToolButton* first, QToolButton* second, bool vertical) {
    const int w = parent->width();
    const int h = parent->height();
    if (vertical) {
        first->setGeometry(0, 0, w, h / 2);
        second->setGeometry(0, h / 2, w, h - h / 2);
    } else {
        first->setGeometry(0, 0, w / 2, h);
        second->setGeometry(w / 2, 0, w - w / 2, h);
    }
}

} // namespace

// A mouse button released over one of the up-down's arrows: the arrow
// handles the release first (its click moves the position), then the
// up-down's OnMouseUp runs, so that it sees the new position.
class UpDownReleaseFilter : public QObject {
public:
    explicit UpDownReleaseFilter(TUpDown& upDown) : QObject(&upDown), UpDown(upDown) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease || !UpDown.OnMouseUp)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at =
            static_cast<QWidget*>(watched)->mapTo(&UpDown, mouse->position().toPoint());
        const TMouseButton button = mouse->button() == Qt::RightButton    ? mbRight
                                    : mouse->button() == Qt::MiddleButton ? mbMiddle
                                                                          : mbLeft;
        watched->event(event);
        SafeCall([&] { UpDown.OnMouseUp(button, TShiftState{}, at.x(), at.y()); });
        return true;
    }

private:
    TUpDown& UpDown;
};

// ---------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(TWinControl* parent)
    : QWidget(parent ? parent->Container() : nullptr), TControl(this, parent),
      UpButton(MakeArrow(this, Qt::UpArrow)), DownButton(MakeArrow(this, Qt::DownArrow)) {
    connect(UpButton, &QToolButton::clicked, this,
            [this] { SafeCall([this] { ClickButton(btNext); }); });
    connect(DownButton, &QToolButton::clicked, this,
            [this] { SafeCall([this] { ClickButton(btPrev); }); });
    auto* filter = new UpDownReleaseFilter(*this);
    UpButton->installEventFilter(filter);
    DownButton->installEventFilter(filter);
    Arrange();
}

void TUpDown::SetPosition(int position) {
    PositionValue =
        std::clamp(position, std::min(MinValue, MaxValue), std::max(MinValue, MaxValue));
    ShowInAssociate();
}

void TUpDown::SetMin(int min) {
    MinValue = min;
    SetPosition(PositionValue);
}

void TUpDown::SetMax(int max) {
    MaxValue = max;
    SetPosition(PositionValue);
}

void TUpDown::SetOrientation(TUDOrientation orientation) {
    OrientationValue = orientation;
    UpButton->setArrowType(orientation == udVertical ? Qt::UpArrow : Qt::RightArrow);
    DownButton->setArrowType(orientation == udVertical ? Qt::DownArrow : Qt::LeftArrow);
    Arrange();
}

void TUpDown::SetAssociate(TEdit* edit) {
    AssociateEdit = edit;
    ShowInAssociate();
}

void TUpDown::ShowInAssociate() {
    if (AssociateEdit)
        AssociateEdit->SetText(std::to_string(PositionValue));
}

QToolButton* TUpDown::ArrowButton(TUDBtnType button) const {
    return button == btNext ? UpButton : DownButton;
}

void TUpDown::ClickButton(TUDBtnType button) {
    bool allow = true;
    if (OnChanging)
        OnChanging(allow);
    if (allow)
        SetPosition(PositionValue + (button == btNext ? Increment : -Increment));
    if (OnClick)
        OnClick(button);
}

void TUpDown::Arrange() {
    if (OrientationValue == udVertical)
        ArrangeArrows(this, UpButton, DownButton, true);
    else
        ArrangeArrows(this, DownButton, UpButton, false);
}

void TUpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

// ---------------------------------------------------------------------------
// TSpinButton

TSpinButton::TSpinButton(TWinControl* parent)
    : QWidget(parent ? parent->Container() : nullptr), TControl(this, parent),
      Up(MakeArrow(this, Qt::UpArrow)), Down(MakeArrow(this, Qt::DownArrow)) {
    connect(Up, &QToolButton::clicked, this, [this] { SafeCall([this] { ClickUp(); }); });
    connect(Down, &QToolButton::clicked, this, [this] { SafeCall([this] { ClickDown(); }); });
    ArrangeArrows(this, Up, Down, true);
}

void TSpinButton::ClickUp() {
    if (OnUpClick)
        OnUpClick();
}

void TSpinButton::ClickDown() {
    if (OnDownClick)
        OnDownClick();
}

void TSpinButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangeArrows(this, Up, Down, true);
}

// ---------------------------------------------------------------------------
// TSpinEdit

TSpinEdit::TSpinEdit(TWinControl* parent)
    : QSpinBox(parent ? parent->Container() : nullptr), TControl(this, parent) {
    setRange(0, 100);
    connect(this, &QSpinBox::valueChanged, this, [this](int) { SafeCall(OnChange); });
}

int TSpinEdit::Value() const {
    return value();
}
void TSpinEdit::SetValue(int value) {
    setValue(value);
}
int TSpinEdit::MinValue() const {
    return minimum();
}
void TSpinEdit::SetMinValue(int value) {
    setMinimum(value);
}
int TSpinEdit::MaxValue() const {
    return maximum();
}
void TSpinEdit::SetMaxValue(int value) {
    setMaximum(value);
}
int TSpinEdit::Increment() const {
    return singleStep();
}
void TSpinEdit::SetIncrement(int step) {
    setSingleStep(std::max(step, 1));
}

void TSpinEdit::SetEditorEnabled(bool enabled) {
    EditorOn = enabled;
    lineEdit()->setReadOnly(!enabled);
}

void TSpinEdit::Step(int steps) {
    stepBy(steps);
}

// ---------------------------------------------------------------------------
// TStatusBar

TStatusBar::TStatusBar(TWinControl* parent)
    : QStatusBar(parent ? parent->Container() : nullptr), TControl(this, parent),
      SimpleLabel(new QLabel(this)) {
    setSizeGripEnabled(false);
    SimpleLabel->hide();
    SetHeight(19);
}

int TStatusBar::AddPanel(int width, const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text), this);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    Labels.push_back(label);
    Widths.push_back(width);
    Arrange();
    return PanelCount() - 1;
}

std::string TStatusBar::PanelText(int index) const {
    if (index < 0 || index >= PanelCount())
        return {};
    return Labels[static_cast<size_t>(index)]->text().toStdString();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    if (index < 0 || index >= PanelCount())
        return;
    Labels[static_cast<size_t>(index)]->setText(QString::fromStdString(text));
}

void TStatusBar::SetPanelWidth(int index, int width) {
    if (index < 0 || index >= PanelCount())
        return;
    Widths[static_cast<size_t>(index)] = width;
    Arrange();
}

void TStatusBar::SetSimplePanel(bool simple) {
    Simple = simple;
    Arrange();
}

void TStatusBar::SetSimpleText(const std::string& text) {
    SimpleString = text;
    SimpleLabel->setText(QString::fromStdString(text));
}

void TStatusBar::Arrange() {
    for (QLabel* label : Labels)
        removeWidget(label);
    removeWidget(SimpleLabel);
    if (Simple) {
        addWidget(SimpleLabel, 1);
        SimpleLabel->show();
        for (QLabel* label : Labels)
            label->hide();
        return;
    }
    SimpleLabel->hide();
    for (size_t i = 0; i < Labels.size(); ++i) {
        const bool last = i + 1 == Labels.size();
        Labels[i]->setMinimumWidth(last ? 0 : Widths[i]);
        Labels[i]->setMaximumWidth(last ? QWIDGETSIZE_MAX : Widths[i]);
        addWidget(Labels[i], last ? 1 : 0);
        Labels[i]->show();
    }
}

// ---------------------------------------------------------------------------
// TStringGrid

TStringGrid::TStringGrid(TWinControl* parent)
    : QTableWidget(parent ? parent->Container() : nullptr), TControl(this, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    SetColCount(5);
    SetRowCount(5);
    SetDefaultRowHeight(24);
}

int TStringGrid::ColCount() const {
    return columnCount();
}

void TStringGrid::SetColCount(int count) {
    const int before = columnCount();
    setColumnCount(std::max(count, 0));
    for (int c = before; c < columnCount(); ++c) {
        setColumnWidth(c, ColWidth);
        for (int r = 0; r < rowCount(); ++r)
            StyleCell(c, r);
    }
}

int TStringGrid::RowCount() const {
    return rowCount();
}

void TStringGrid::SetRowCount(int count) {
    const int before = rowCount();
    setRowCount(std::max(count, 0));
    for (int r = before; r < rowCount(); ++r) {
        setRowHeight(r, RowHeight);
        for (int c = 0; c < columnCount(); ++c)
            StyleCell(c, r);
    }
}

void TStringGrid::SetFixedCols(int count) {
    FixedColCount = std::max(count, 0);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            StyleCell(c, r);
}

void TStringGrid::SetFixedRows(int count) {
    FixedRowCount = std::max(count, 0);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            StyleCell(c, r);
}

void TStringGrid::StyleCell(int col, int row) {
    QTableWidgetItem* cell = item(row, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, col, cell);
    }
    const bool fixed = col < FixedColCount || row < FixedRowCount;
    cell->setBackground(fixed ? QBrush(ColorToQColor(clBtnFace)) : QBrush());
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (!fixed)
        flags |= Qt::ItemIsSelectable;
    cell->setFlags(flags);
}

std::string TStringGrid::Cells(int col, int row) const {
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->text().toStdString() : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    if (!item(row, col))
        StyleCell(col, row);
    item(row, col)->setText(QString::fromStdString(text));
}

int TStringGrid::ColWidths(int col) const {
    return columnWidth(col);
}
void TStringGrid::SetColWidths(int col, int width) {
    setColumnWidth(col, width);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    RowHeight = std::max(height, 1);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, RowHeight);
}

void TStringGrid::SetDefaultColWidth(int width) {
    ColWidth = std::max(width, 1);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, ColWidth);
}

void TStringGrid::SetRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    CurrentRow = row;
    clearSelection();
    if (row >= FixedRowCount)
        selectRow(row);
    SettleLayout();
    scrollTo(model()->index(row, 0));
}

void TStringGrid::SettleLayout() {
    // Rows and columns just added are laid out later, and the scroll area
    // shows or hides a scroll bar only on a queued reaction to the bar's new
    // range; scrolling before that would measure the viewport it is about to
    // lose. One bar taking its room can call for the other, hence the passes,
    // until the viewport keeps its size.
    for (int pass = 0; pass < 4; ++pass) {
        const QSize before = viewport()->size();
        executeDelayedItemsLayout();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (viewport()->size() == before)
            break;
    }
}

void TStringGrid::SetOptions(unsigned options) {
    OptionBits = options;
    setShowGrid((options & goGridLines) != 0);
    setSelectionBehavior((options & goRowSelect) ? QAbstractItemView::SelectRows
                                                 : QAbstractItemView::SelectItems);
    horizontalHeader()->setSectionResizeMode((options & goColSizing) ? QHeaderView::Interactive
                                                                     : QHeaderView::Fixed);
}

} // namespace vcl
