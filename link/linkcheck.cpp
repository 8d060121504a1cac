// linkcheck: opens the first measurement interface that the driver lists,
// identifies both sensors, reads both channels once and one block at "0,5 ms",
// and prints what it found. INTERFACE_MESURE=simulateur uses the simulated
// interface. Exit code 0 when every exchange was answered.
#include "tampon.h"

#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Numbers.h"
#include "d2xx/Backends.h"

#include <cstdio>
#include <string>

using namespace tampon;

namespace {

// Message boxes and beeps of the link, written to the error output.
class ConsoleDialogs final : public platform::DialogService {
public:
    platform::ModalResult ShowMessage(const platform::MessageRequest& request) override {
        std::fprintf(stderr, "[%s] %s\n", request.Caption.c_str(), request.Text.c_str());
        return platform::ModalResult::Ok;
    }
    void Beep() override { std::fprintf(stderr, "[bip]\n"); }
    bool OpenFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool SaveFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
    bool PrintSetup() override { return false; }
};

std::string ValueText(int channel, float value) {
    if (value == OverRangeValue || value == UnderRangeValue)
        return "hors calibre";
    return platform::FormatFixed(value, 8, ChannelDecimals[channel]) + " " + ChannelUnit[channel];
}

void PrintChannel(int channel) {
    std::printf("Voie %d : ", channel + 1);
    if (!SensorOnChannel[channel]) {
        std::printf("pas de capteur\n");
        return;
    }
    std::printf("%s, « %s » (%s), %d décimale(s)\n", ChannelName[channel].c_str(),
                ChannelLabel[channel].c_str(), ChannelUnit[channel].c_str(),
                ChannelDecimals[channel]);
    std::printf("  %s ; pente %s, décalage %s, comptes %d à %d, étendue %s à %s\n",
                SensorCalibrated[channel] ? "étalonné" : "non étalonné",
                platform::FormatFixed(ChannelSlope[channel], 9, 9).c_str(),
                platform::FormatFixed(ChannelOffset[channel], 9, 6).c_str(), RangeRawLow[channel],
                RangeRawHigh[channel], platform::FormatFixed(RangeLow[channel], 8, 3).c_str(),
                platform::FormatFixed(RangeHigh[channel], 8, 3).c_str());
}

int Fail(const std::string& text, int code) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return code;
}

// text, then the driver's reason when it gives one.
std::string WithReason(const std::string& text) {
    const std::string reason = InterfaceFailureReason();
    return reason.empty() ? text : text + " : " + reason + ".";
}

} // namespace

int main() {
    ConsoleDialogs console;
    platform::SetDialogs(&console);
    d2xx::InstallDriverFromEnvironment();

    const int32_t count = GetDeviceCount();
    if (count <= 0)
        return Fail("L'interface de mesure n'est pas branchée.", 1);
    const OpenOutcome opened = OpenFirstInterface();
    if (opened == OpenOutcome::NoDescription)
        return Fail(WithReason("Description de l'interface illisible"), 2);
    std::printf("Interfaces : %d ; ouverture de « %s »\n", count, DescriptionBuffer);
    if (opened == OpenOutcome::OpenFailed)
        return Fail(WithReason("Port  non ouvert"), 2);

    for (int ch = 0; ch < 2; ++ch) {
        ChannelSlope[ch] = 1;
        ChannelOffset[ch] = 0;
        RangeHigh[ch] = StoredRangeHigh[ch] = 10;
        RangeLow[ch] = StoredRangeLow[ch] = -10;
    }
    bool answered = true;
    for (int ch = 0; ch < 2; ++ch) {
        LinkResult result = LinkResult::Answered;
        IdentifySensor(ch, &result);
        answered = answered && result == LinkResult::Answered;
        PrintChannel(ch);
    }

    RawPair raw{};
    const LinkResult pair = ReadRawPair(raw);
    if (pair == LinkResult::Answered) {
        std::printf("Lecture : voie 1 = %s (brut %d), voie 2 = %s (brut %d)\n",
                    ValueText(0, ConvertRawCount(0, raw[0])).c_str(), raw[0],
                    ValueText(1, ConvertRawCount(1, raw[1])).c_str(), raw[1]);
    } else {
        std::printf("Lecture : %s\n", LinkResultName(pair));
        answered = false;
    }

    SampleBlock block{};
    const uint32_t start = GetTickCount();
    const LinkResult blockResult = AcquireBlock(5, 128, 1, 0, 0, 0, block);
    const uint32_t took = GetTickCount() - start;
    if (blockResult == LinkResult::Answered) {
        std::printf("Bloc \"0,5 ms\" (%u ms) :\n", took);
        for (int ch = 0; ch < 2; ++ch) {
            std::printf("  voie %d :", ch + 1);
            for (int k = 0; k < BlockSampleCount; ++k) {
                if (k % 10 == 0)
                    std::printf("\n   ");
                std::printf(" %s", ValueText(ch, block[ch][k]).c_str());
            }
            std::printf("\n");
        }
    } else {
        std::printf("Bloc \"0,5 ms\" : %s (%u ms)\n", LinkResultName(blockResult), took);
        answered = false;
    }

    CloseInterface();
    if (!answered)
        return Fail("L'interface de mesure ne répond plus.", 3);
    return 0;
}
