#include "Dialogs.h"

#include "Clock.h"

namespace platform {

std::string WithDefaultExt(const std::string& fileName, const std::string& defaultExt) {
    if (fileName.empty() || defaultExt.empty())
        return fileName;
    const size_t slash = fileName.find_last_of('/');
    const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    if (name.find('.') == std::string::npos)
        return fileName + "." + defaultExt;
    return fileName;
}

bool IsFilterPattern(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

namespace {

// Used by command-line tools: nothing is shown, each box takes its first button.
class SilentDialogs final : public DialogService {
public:
    ModalResult ShowMessage(const MessageRequest& request) override {
        if (request.Buttons & MbOk)
            return ModalResult::Ok;
        if (request.Buttons & MbYes)
            return ModalResult::Yes;
        return ModalResult::Cancel;
    }
    void Beep() override {}
    bool OpenFile(const FileDialogRequest&, std::string&) override { return false; }
    bool SaveFile(const FileDialogRequest&, std::string&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
    bool PrintSetup() override { return false; }
};

DialogService* Installed = nullptr;

const char* KindName(DialogRecord::Kind kind) {
    switch (kind) {
    case DialogRecord::Kind::Message:
        return "message box";
    case DialogRecord::Kind::Beep:
        return "beep";
    case DialogRecord::Kind::OpenFile:
        return "open dialog";
    case DialogRecord::Kind::SaveFile:
        return "save dialog";
    case DialogRecord::Kind::Color:
        return "colour dialog";
    case DialogRecord::Kind::Print:
        return "print dialog";
    }
    return "dialog";
}

// The button a message box answer stands for (0: none).
unsigned ButtonOf(ModalResult result) {
    switch (result) {
    case ModalResult::Ok:
        return MbOk;
    case ModalResult::Cancel:
        return MbCancel;
    case ModalResult::Yes:
        return MbYes;
    case ModalResult::No:
        return MbNo;
    case ModalResult::Abort:
        return MbAbort;
    case ModalResult::Retry:
        return MbRetry;
    case ModalResult::Ignore:
        return MbIgnore;
    case ModalResult::None:
        break;
    }
    return 0;
}

} // namespace

DialogService& Dialogs() {
    static SilentDialogs silent;
    return Installed ? *Installed : silent;
}

void SetDialogs(DialogService* service) {
    Installed = service;
}

ModalResult MessageDlg(const std::string& text, MsgType type, unsigned buttons,
                       const std::string& caption) {
    MessageRequest request;
    request.Text = text;
    request.Type = type;
    request.Buttons = buttons;
    request.Caption = caption;
    return Dialogs().ShowMessage(request);
}

void ShowMessage(const std::string& text) {
    MessageDlg(text, MsgType::Information, MbOk);
}

void MessageBeep() {
    Dialogs().Beep();
}

// ---------------------------------------------------------------------------

ScriptedDialogs::ScriptedDialogs() : Previous(Installed) {
    Installed = this;
}

ScriptedDialogs::~ScriptedDialogs() {
    if (Installed == this)
        Installed = Previous;
}

ScriptedDialogs& ScriptedDialogs::Answer(ModalResult result, std::string expectText) {
    ScriptedAnswer a;
    a.What = DialogRecord::Kind::Message;
    a.Result = result;
    a.ExpectText = std::move(expectText);
    Script.push_back(std::move(a));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::AnswerOpen(std::string fileName) {
    ScriptedAnswer a;
    a.What = DialogRecord::Kind::OpenFile;
    a.Result = fileName.empty() ? ModalResult::Cancel : ModalResult::Ok;
    a.FileName = std::move(fileName);
    Script.push_back(std::move(a));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::AnswerSave(std::string fileName) {
    ScriptedAnswer a;
    a.What = DialogRecord::Kind::SaveFile;
    a.Result = fileName.empty() ? ModalResult::Cancel : ModalResult::Ok;
    a.FileName = std::move(fileName);
    Script.push_back(std::move(a));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::AnswerColor(uint32_t color, bool ok) {
    ScriptedAnswer a;
    a.What = DialogRecord::Kind::Color;
    a.Result = ok ? ModalResult::Ok : ModalResult::Cancel;
    a.Color = color;
    Script.push_back(std::move(a));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::AnswerPrint(bool ok) {
    ScriptedAnswer a;
    a.What = DialogRecord::Kind::Print;
    a.Result = ok ? ModalResult::Ok : ModalResult::Cancel;
    Script.push_back(std::move(a));
    return *this;
}

void ScriptedDialogs::Record(DialogRecord record) {
    record.TimeUs = CurrentClock().NowUs();
    History.push_back(std::move(record));
}

bool ScriptedDialogs::Take(DialogRecord::Kind kind, const std::string& what,
                           ScriptedAnswer& answer) {
    if (Script.empty() || Script.front().What != kind) {
        std::string problem = std::string("unexpected ") + KindName(kind);
        if (!what.empty())
            problem += ": " + what;
        if (!Script.empty())
            problem +=
                std::string(" (the script expected a ") + KindName(Script.front().What) + ")";
        Problems.push_back(problem);
        if (OnUnexpected)
            OnUnexpected(problem);
        return false;
    }
    answer = Script.front();
    Script.pop_front();
    return true;
}

ModalResult ScriptedDialogs::ShowMessage(const MessageRequest& request) {
    DialogRecord record;
    record.What = DialogRecord::Kind::Message;
    record.Message = request;
    Record(record);
    ScriptedAnswer answer;
    if (!Take(DialogRecord::Kind::Message, "\"" + request.Text + "\"", answer))
        return (request.Buttons & MbNo) ? ModalResult::No : ModalResult::Cancel;
    std::string problem;
    if (!answer.ExpectText.empty() && request.Text.find(answer.ExpectText) == std::string::npos)
        problem =
            "message \"" + request.Text + "\" where \"" + answer.ExpectText + "\" was expected";
    else if ((ButtonOf(answer.Result) & (request.Buttons != 0 ? request.Buttons : MbOk)) == 0)
        problem = "message \"" + request.Text + "\" has no button for the scripted answer";
    if (!problem.empty()) {
        Problems.push_back(problem);
        if (OnUnexpected)
            OnUnexpected(problem);
    }
    return answer.Result;
}

void ScriptedDialogs::Beep() {
    DialogRecord record;
    record.What = DialogRecord::Kind::Beep;
    Record(record);
}

bool ScriptedDialogs::OpenFile(const FileDialogRequest& request, std::string& fileName) {
    DialogRecord record;
    record.What = DialogRecord::Kind::OpenFile;
    record.File = request;
    Record(record);
    ScriptedAnswer answer;
    if (!Take(DialogRecord::Kind::OpenFile, request.Title, answer) ||
        answer.Result != ModalResult::Ok)
        return false;
    fileName = answer.FileName;
    return true;
}

bool ScriptedDialogs::SaveFile(const FileDialogRequest& request, std::string& fileName) {
    DialogRecord record;
    record.What = DialogRecord::Kind::SaveFile;
    record.File = request;
    Record(record);
    ScriptedAnswer answer;
    if (!Take(DialogRecord::Kind::SaveFile, request.Title, answer) ||
        answer.Result != ModalResult::Ok)
        return false;
    fileName = answer.FileName;
    return true;
}

bool ScriptedDialogs::ChooseColor(uint32_t& color) {
    DialogRecord record;
    record.What = DialogRecord::Kind::Color;
    Record(record);
    ScriptedAnswer answer;
    if (!Take(DialogRecord::Kind::Color, {}, answer) || answer.Result != ModalResult::Ok)
        return false;
    color = answer.Color;
    return true;
}

bool ScriptedDialogs::PrintSetup() {
    DialogRecord record;
    record.What = DialogRecord::Kind::Print;
    Record(record);
    ScriptedAnswer answer;
    return Take(DialogRecord::Kind::Print, {}, answer) && answer.Result == ModalResult::Ok;
}

std::vector<MessageRequest> ScriptedDialogs::Messages() const {
    std::vector<MessageRequest> out;
    for (const auto& r : History)
        if (r.What == DialogRecord::Kind::Message)
            out.push_back(r.Message);
    return out;
}

int ScriptedDialogs::BeepCount() const {
    int n = 0;
    for (const auto& r : History)
        n += r.What == DialogRecord::Kind::Beep;
    return n;
}

void ScriptedDialogs::Clear() {
    Script.clear();
    History.clear();
    Problems.clear();
}

} // namespace platform
