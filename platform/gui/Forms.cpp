#include "gui/Forms.h"

#include "core/Clock.h"
#include "core/Dialogs.h"
#include "gui/Menus.h"
#include "gui/QtDialogs.h"
#include "gui/StdCtrls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFont>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTranslator>
#include <QWindow>

#include <stdexcept>

namespace vcl {

namespace {

TForm::ModalDriver& InstalledModalDriver() {
    static TForm::ModalDriver driver;
    return driver;
}

// The client area of a form: runs the align engine when its size changes.
class FormClient : public QWidget {
public:
    FormClient(TForm* form) : QWidget(form), Form(form) {}

protected:
    void resizeEvent(QResizeEvent*) override {
        Form->Realign();
        SafeCall(Form->OnResize);
    }

private:
    TForm* Form;
};

// Runs a key handler with the key's virtual-key code and shift state; keys
// that have no code are not passed on.
void RunKeyHandler(const TKeyEvent& handler, const QKeyEvent& event) {
    uint16_t key = QtKeyToVirtualKey(event.key());
    if (!handler || key == 0)
        return;
    const TShiftState shift = ShiftStateFrom(event.modifiers());
    SafeCall([&] { handler(key, shift); });
}

} // namespace

// ---------------------------------------------------------------------------
// TForm

TForm::TForm(QWidget* parent)
    : QWidget(parent, Qt::Window), TWinControl(this, nullptr), Client(new FormClient(this)) {
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
    Client->setAutoFillBackground(false);
    SetColor(clBtnFace);
    TFont font;
    TWinControl::SetFont(font);
    SetClientSize(640, 480);
}

TForm::~TForm() {
    if (Application->MainForm == this)
        Application->MainForm = nullptr;
}

bool TForm::RunOnCreate() {
    if (Created)
        return true;
    Created = true;
    if (!OnCreate)
        return true;
    try {
        OnCreate();
        return true;
    } catch (...) {
        Application->HandleException();
        return false;
    }
}

QRect TForm::AlignRect() const {
    return Client->rect();
}

std::string TForm::Caption() const {
    return windowTitle().toStdString();
}
void TForm::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

int TForm::ClientWidth() const {
    return Client->width();
}
int TForm::ClientHeight() const {
    return Client->height();
}

void TForm::SetClientWidth(int width) {
    SetClientSize(width, ClientHeight());
}
void TForm::SetClientHeight(int height) {
    SetClientSize(ClientWidth(), height);
}

void TForm::SetClientSize(int width, int height) {
    const int menu = MenuBar ? MenuBar->sizeHint().height() : 0;
    SetBounds(Left(), Top(), width, height + menu);
}

void TForm::SetBounds(int left, int top, int width, int height) {
    if (FixedSize) {
        setFixedSize(std::max(width, 0), std::max(height, 0));
    } else {
        width = std::max(width, minimumWidth());
        height = std::max(height, minimumHeight());
    }
    setGeometry(left, top, width, height);
    LayoutClient();
}

void TForm::LayoutClient() {
    const int menu = MenuBar ? MenuBar->sizeHint().height() : 0;
    if (MenuBar)
        MenuBar->setGeometry(0, 0, width(), menu);
    const QRect client(0, menu, width(), std::max(height() - menu, 0));
    if (Client->geometry() != client) {
        const bool resized = Client->size() != client.size();
        Client->setGeometry(client);
        if (resized && !Client->isVisible()) {
            // A hidden widget gets its resize event only when shown.
            Realign();
        }
    }
}

void TForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutClient();
}

void TForm::SetMinSize(int width, int height) {
    setMinimumSize(width, height);
    if (this->width() < width || this->height() < height)
        SetBounds(Left(), Top(), std::max(this->width(), width), std::max(this->height(), height));
}

void TForm::SetColor(TColor color) {
    TWinControl::SetColor(color);
    setAutoFillBackground(true);
}

void TForm::CenterOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    Qt::WindowFlags flags = windowFlags() & Qt::WindowStaysOnTopHint;
    switch (style) {
    case bsNone:
        flags |= Qt::Window | Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags |= Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    case bsSingle:
    case bsToolWindow:
        flags |= Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    default:
        flags |= Qt::Window;
        break;
    }
    const bool shown = isVisible();
    setWindowFlags(flags);
    FixedSize = style == bsDialog || style == bsSingle || style == bsToolWindow;
    if (FixedSize)
        setFixedSize(size());
    else if (minimumSize() == maximumSize()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (shown)
        show();
}

void TForm::SetFormStyle(TFormStyle style) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, style == fsStayOnTop);
    if (shown)
        show();
}

void TForm::SetMenu(TMainMenu* menu) {
    const int before = ClientHeight();
    MainMenu = menu;
    if (!menu) {
        delete MenuBar;
        MenuBar = nullptr;
    } else {
        if (!MenuBar)
            MenuBar = new QMenuBar(this);
        MenuBar->clear();
        menu->BuildInto(MenuBar);
    }
    SetClientSize(ClientWidth(), before);
}

bool TForm::Visible() const {
    return isVisible();
}

void TForm::SetVisible(bool visible) {
    if (visible && !PositionApplied) {
        PositionApplied = true;
        if (Position != poDesigned)
            CenterOnScreen();
    }
    setVisible(visible);
}

void TForm::BringToFrontAndPaint() {
    SetVisible(true);
    raise();
    // With a window manager the window is mapped a moment after it is shown,
    // and what is painted before it is exposed never reaches the screen. So
    // wait for the exposure (on the window system's time, not the program
    // clock: nothing else runs meanwhile), bounded, then paint.
    constexpr int ExposeWaitMs = 1000;
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < ExposeWaitMs)
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 10);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm::Close() {
    if (InModal) {
        ModalResult = mrCancel;
        return;
    }
    close();
}

void TForm::Release() {
    deleteLater();
}

bool TForm::CloseAllowed(TCloseAction& action) {
    bool canClose = true;
    if (OnCloseQuery)
        SafeCall([&] { OnCloseQuery(canClose); });
    if (!canClose)
        return false;
    if (OnClose)
        SafeCall([&] { OnClose(action); });
    return action != caNone;
}

void TForm::closeEvent(QCloseEvent* event) {
    if (InModal) {
        // Closing a modal form by its frame is a Cancel; the modal loop asks
        // OnCloseQuery and OnClose.
        event->ignore();
        if (ModalResult == mrNone)
            ModalResult = mrCancel;
        return;
    }
    TCloseAction action = caHide;
    if (!CloseAllowed(action)) {
        event->ignore();
        return;
    }
    event->accept();
    if (Application->MainForm == this) {
        Application->Terminate();
    } else if (action == caFree) {
        deleteLater();
    } else if (action == caMinimize) {
        event->ignore();
        showMinimized();
    }
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SafeCall(OnShow);
}

void TForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    SafeCall(OnHide);
}

void TForm::keyPressEvent(QKeyEvent* event) {
    RunKeyHandler(OnKeyDown, *event);
    // Enter and Escape click the default and cancel buttons.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        const bool escape = event->key() == Qt::Key_Escape;
        for (TButton* button : findChildren<TButton*>()) {
            if ((escape ? button->Cancel : button->Default()) && button->isEnabled() &&
                button->isVisible()) {
                SafeCall([button] { button->Click(); });
                break;
            }
        }
    }
    event->accept();
}

void TForm::keyReleaseEvent(QKeyEvent* event) {
    RunKeyHandler(OnKeyUp, *event);
    event->accept();
}

void TForm::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    SafeCall(OnPaint);
}

void TForm::SetModalDriver(ModalDriver driver) {
    InstalledModalDriver() = std::move(driver);
}

bool TForm::ModalFinished() {
    if (ModalResult == mrNone)
        return false;
    TCloseAction action = caHide;
    if (!CloseAllowed(action)) {
        ModalResult = mrNone;
        return false;
    }
    return true;
}

TModalResult TForm::ShowModal() {
    if (InModal)
        throw std::logic_error("ShowModal: the form is already shown modally");
    QPointer<TForm> self(this);
    InModal = true;
    ModalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    SetVisible(true);
    raise();
    if (InstalledModalDriver()) {
        InstalledModalDriver()(*this);
        if (self && ModalResult != mrNone && !ModalFinished())
            ModalResult = mrNone;
        if (self && ModalResult == mrNone)
            ModalResult = mrCancel;
    } else if (platform::CurrentVirtualClock()) {
        if (!RunUntil([&] { return !self || ModalFinished(); }, 10 * 60 * 1000) && self)
            ModalResult = mrCancel;
    } else {
        while (self && !ModalFinished())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!self)
        return mrCancel;
    InModal = false;
    hide();
    setWindowModality(Qt::NonModal);
    return ModalResult;
}

// ---------------------------------------------------------------------------
// TApplication

namespace {
TApplication TheApplication;
QtDialogService& TheQtDialogs() {
    static QtDialogService service;
    return service;
}
} // namespace

TApplication* const Application = &TheApplication;

int TApplication::Run() {
    if (TerminateRequested)
        return 0;
    if (MainForm)
        MainForm->SetVisible(true);
    if (TerminateRequested)
        return 0;
    return QApplication::exec();
}

void TApplication::Terminate() {
    TerminateRequested = true;
    QCoreApplication::quit();
}

void TApplication::ShowException(const std::string& text) {
    platform::MessageRequest request;
    request.Text = text;
    // The toolkit ends the sentence unless it already ends with a stop or
    // another sign below it ("!", a space...).
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        request.Text += '.';
    request.Caption = Title;
    request.Type = platform::MsgType::Error;
    request.Buttons = platform::MbOk;
    platform::Dialogs().ShowMessage(request);
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowException(error.what());
    } catch (...) {
        ShowException("Erreur inconnue");
    }
}

std::string TApplication::ExeName() const {
    return QCoreApplication::applicationFilePath().toStdString();
}

void InitFonts() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Tahoma", "Liberation Sans");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("Courier New", "Liberation Mono");
    if (qApp)
        QApplication::setFont(ToQFont(TFont{}));
}

void InitApplication() {
    InitFonts();
    QApplication::setQuitOnLastWindowClosed(false);
    // The toolkit's own dialogs (colours, files, printing) speak French.
    static QTranslator* french = nullptr;
    if (!french && qApp) {
        french = new QTranslator(qApp);
        if (french->load(QLocale(QLocale::French), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(french);
    }
    platform::SetDialogs(&TheQtDialogs());
}

} // namespace vcl
