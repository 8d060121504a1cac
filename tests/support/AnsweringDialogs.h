// A dialog service that answers every box as a user would, for tests that
// inject faults and count what the user is told: OK, and Cancel to the
// question for a sensor (which would otherwise come back at once). It counts
// each text shown; the service it replaces comes back when it goes.
#pragma once

#include "core/Dialogs.h"

#include <map>
#include <string>

class AnsweringDialogs final : public platform::DialogService {
public:
    explicit AnsweringDialogs(platform::DialogService& inner) : Inner(inner) {
        platform::SetDialogs(this);
    }
    ~AnsweringDialogs() override { platform::SetDialogs(&Inner); }
    AnsweringDialogs(const AnsweringDialogs&) = delete;
    AnsweringDialogs& operator=(const AnsweringDialogs&) = delete;

    platform::ModalResult ShowMessage(const platform::MessageRequest& request) override {
        ++Shown[request.Text];
        return request.Text.rfind("Aucun capteur", 0) == 0 ? platform::ModalResult::Cancel
                                                           : platform::ModalResult::Ok;
    }
    void Beep() override {}
    bool OpenFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool SaveFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
    bool PrintSetup() override { return false; }

    // How many times each text was shown.
    std::map<std::string, int> Shown;

private:
    platform::DialogService& Inner;
};
