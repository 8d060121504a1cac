// Top-level windows and the application object.
//
// A form is a top-level QWidget with a client area (Container()) holding its
// controls and an optional main menu bar above it. Form classes build their
// components in their constructor (as a designed form would) and put their
// creation work in OnCreate, which TApplication::CreateForm (or
// TForm::Create) runs after construction: an exception leaving OnCreate is
// reported in the application's standard error box (through the dialog
// service, MsgType::Error, the exception's text, caption the application's
// Title) and start-up goes on.
#pragma once

#include "gui/Controls.h"
#include "gui/Timers.h"

#include <exception>
#include <memory>
#include <string>

class QMenuBar;

namespace vcl {
class TMainMenu;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition { poDesigned, poScreenCenter, poDesktopCenter, poMainFormCenter };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsStayOnTop };

using TCloseEvent = std::function<void(TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(bool& canClose)>;

class TForm : public QWidget, public TWinControl {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Constructs a form of type T and runs its OnCreate (exception shown in
    // the standard error box). Not registered as the main form.
    template <class T, class... Args> static T* Create(Args&&... args) {
        T* form = new T(std::forward<Args>(args)...);
        form->RunOnCreate();
        return form;
    }
    // Runs OnCreate once; false when it raised (the error was shown).
    bool RunOnCreate();

    QWidget* Container() const override { return Client; }
    QRect AlignRect() const override;

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetClientSize(int width, int height);
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetMinSize(int width, int height); // Constraints.MinWidth/MinHeight
    void SetBounds(int left, int top, int width, int height) override;
    void SetColor(TColor color) override;

    TPosition Position = poDesigned; // applied when the form is first shown
    void CenterOnScreen();
    // bsDialog, bsSingle and bsToolWindow fix the size (SetBounds and
    // SetClientSize still set it).
    void SetBorderStyle(TFormBorderStyle style);
    void SetFormStyle(TFormStyle style);
    // The main menu bar above the client area (nullptr: none).
    void SetMenu(TMainMenu* menu);
    TMainMenu* Menu() const { return MainMenu; }

    // Key handling (no key preview). OnKeyDown gets a key press that reaches
    // the form: the form itself has the focus (also when the focused control
    // was disabled or hidden), or the focused control did not use the key.
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    bool Visible() const override;
    void SetVisible(bool visible) override;
    void ShowForm() { SetVisible(true); }
    void BringToFrontAndPaint(); // show, raise, paint at once
    // Closes as VCL does: OnCloseQuery, then OnClose (caHide by default);
    // the main form's closing ends the application. For a modal form it
    // sets ModalResult to mrCancel.
    void Close();
    // Deletes the form once the pending events are handled.
    void Release();

    // Shows the form modally and returns its ModalResult once a button with
    // a ModalResult or the code sets it (or the form is closed: mrCancel).
    // Tests: a modal driver installed with SetModalDriver answers instead of
    // the user; without one, on a virtual clock the form runs on the test's
    // pump (RunUntil) for at most ten virtual minutes, then gives mrCancel.
    TModalResult ShowModal();
    TModalResult ModalResult = mrNone;
    bool Modal() const { return InModal; }
    using ModalDriver = std::function<void(TForm& form)>;
    static void SetModalDriver(ModalDriver driver);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutClient();
    bool CloseAllowed(TCloseAction& action);
    bool ModalFinished();
    QWidget* Client;
    QMenuBar* MenuBar = nullptr;
    TMainMenu* MainMenu = nullptr;
    bool Created = false;
    bool PositionApplied = false;
    bool InModal = false;
    bool FixedSize = false; // dialog and single frames
};

class TApplication {
public:
    // Our own title; Qt's application display name is never set (Qt would
    // append it to every window caption).
    std::string Title;
    TForm* MainForm = nullptr;

    // Creates a form of type T, stores it into ref before its OnCreate runs,
    // makes the first one created the main form, then runs OnCreate.
    template <class T, class... Args> T* CreateForm(T*& ref, Args&&... args) {
        ref = new T(std::forward<Args>(args)...);
        if (!MainForm)
            MainForm = ref;
        ref->RunOnCreate();
        return ref;
    }

    // Shows the main form and runs the message loop until it closes.
    int Run();
    void Terminate();
    bool Terminated() const { return TerminateRequested; }
    // Takes a Terminate back, so that the application may run again in the
    // same process (tests run more than once).
    void CancelTerminate() { TerminateRequested = false; }
    void ProcessMessages() { vcl::ProcessMessages(); }

    // The standard error box: text with a full stop added (unless it ends
    // with one, or with "!", a space or another sign below "."), caption
    // Title, error icon, OK.
    void ShowException(const std::string& text);
    // Inside a catch block: shows the current exception.
    void HandleException();
    // Path of the program file and its folder.
    std::string ExeName() const;

private:
    bool TerminateRequested = false;
};

extern TApplication* const Application;

// Fonts: "Arial" resolves to Liberation Sans, full hinting. Idempotent.
void InitFonts();
// InitFonts and the Qt dialog service (installed as platform::Dialogs()).
// Call once the QApplication exists.
void InitApplication();

} // namespace vcl
