// The one place through which every modal box, beep and file, colour and
// print dialog of both programs goes. The programs install the Qt service
// (platform/gui); tests install a ScriptedDialogs that answers from a script,
// records what was asked, and reports an unscripted dialog as a failure
// instead of blocking. Texts are UTF-8; "\r\n" and "\r" are line breaks.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// The kind of a message box: sets its icon and, for the toolkit's own
// boxes, its caption ("Avertissement", "Erreur", "Information", "Confirmation").
enum class MsgType { Warning, Error, Information, Confirmation, Custom };

// Buttons, combinable.
enum MsgButtons : unsigned {
    MbOk = 1u << 0,
    MbCancel = 1u << 1,
    MbYes = 1u << 2,
    MbNo = 1u << 3,
    MbAbort = 1u << 4,
    MbRetry = 1u << 5,
    MbIgnore = 1u << 6,
};

enum class ModalResult { None, Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct MessageRequest {
    std::string Text;
    std::string Caption; // empty: the toolkit's caption for Type
    MsgType Type = MsgType::Information;
    unsigned Buttons = MbOk;
};

struct FileDialogRequest {
    std::string Title;
    std::string Filter;     // "Mesures (*.mrs)|*.mrs|Tous (*.*)|*.*" (VCL form)
    std::string DefaultExt; // without the dot
    std::string InitialDir;
    std::string FileName; // initial name; one with "*" or "?" is a filter and proposes no name
};

// fileName with "." + defaultExt added when its name (after the last folder
// separator) has no extension.
std::string WithDefaultExt(const std::string& fileName, const std::string& defaultExt);
// True when name holds a wildcard ("*" or "?"): a filter, never a file's name.
bool IsFilterPattern(const std::string& name);

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual ModalResult ShowMessage(const MessageRequest& request) = 0;
    // The toolkit's beep (MessageBeep).
    virtual void Beep() = 0;
    // true and fileName set when the user chose a file.
    virtual bool OpenFile(const FileDialogRequest& request, std::string& fileName) = 0;
    virtual bool SaveFile(const FileDialogRequest& request, std::string& fileName) = 0;
    // colour as $00BBGGRR; true when the user chose one.
    virtual bool ChooseColor(uint32_t& color) = 0;
    // The print set-up dialog; true when the user confirmed it.
    virtual bool PrintSetup() = 0;
};

DialogService& Dialogs();
// Installs service (nullptr: the default, which answers every box with its
// first button and never shows anything; for command-line tools).
void SetDialogs(DialogService* service);

// Shortcuts used by the programs.
ModalResult MessageDlg(const std::string& text, MsgType type, unsigned buttons,
                       const std::string& caption = {});
void ShowMessage(const std::string& text); // "Information" box, OK
void MessageBeep();

// ---------------------------------------------------------------------------
// Tests: answers from a script, records every request with the program-clock
// time at which it was made.

struct DialogRecord {
    enum class Kind { Message, Beep, OpenFile, SaveFile, Color, Print } What;
    int64_t TimeUs = 0;
    MessageRequest Message; // for Kind::Message
    FileDialogRequest File; // for OpenFile and SaveFile
};

struct ScriptedAnswer {
    DialogRecord::Kind What = DialogRecord::Kind::Message;
    ModalResult Result = ModalResult::Ok; // Message; Ok/Cancel for the others
    std::string FileName;                 // OpenFile, SaveFile
    uint32_t Color = 0;                   // Color
    std::string ExpectText;               // Message: when not empty, the text must contain it
};

class ScriptedDialogs final : public DialogService {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Script helpers.
    ScriptedDialogs& Answer(ModalResult result, std::string expectText = {});
    ScriptedDialogs& AnswerOpen(std::string fileName); // empty: cancelled
    ScriptedDialogs& AnswerSave(std::string fileName); // empty: cancelled
    ScriptedDialogs& AnswerColor(uint32_t color, bool ok = true);
    ScriptedDialogs& AnswerPrint(bool ok);

    ModalResult ShowMessage(const MessageRequest& request) override;
    void Beep() override;
    bool OpenFile(const FileDialogRequest& request, std::string& fileName) override;
    bool SaveFile(const FileDialogRequest& request, std::string& fileName) override;
    bool ChooseColor(uint32_t& color) override;
    bool PrintSetup() override;

    const std::vector<DialogRecord>& Records() const { return History; }
    std::vector<MessageRequest> Messages() const;
    int BeepCount() const;
    size_t Pending() const { return Script.size(); }
    const std::vector<std::string>& Failures() const { return Problems; }
    void Clear();

    // Called for every unscripted or mismatched dialog (tests hook
    // ADD_FAILURE here). The dialog is then answered with Cancel / No / false.
    std::function<void(const std::string&)> OnUnexpected;

private:
    bool Take(DialogRecord::Kind kind, const std::string& what, ScriptedAnswer& answer);
    void Record(DialogRecord record);

    std::deque<ScriptedAnswer> Script;
    std::vector<DialogRecord> History;
    std::vector<std::string> Problems;
    DialogService* Previous = nullptr;
};

} // namespace platform
