#include "d2xx/sim/FaultPlanFile.h"

#include "core/Clock.h"
#include "d2xx/sim/fixtures.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace sim {

namespace {

constexpr int64_t LookEveryUs = 200'000;

std::string Lower(std::string_view word) {
    std::string result(word);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::optional<int64_t> Integer(std::string_view word) {
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

// Seconds with a decimal point or comma, as microseconds.
std::optional<int64_t> Seconds(std::string_view word) {
    std::string text(word);
    std::replace(text.begin(), text.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0 || value > 1e9)
        return std::nullopt;
    return static_cast<int64_t>(std::llround(value * 1e6));
}

std::optional<Command> CommandNamed(std::string_view word) {
    for (Command c : {Command::Any, Command::E1, Command::E5, Command::EE, Command::AA, Command::E3,
                      Command::E6, Command::E3E6, Command::C0})
        if (Lower(CommandName(c)) == Lower(word))
            return c;
    return std::nullopt;
}

std::optional<FaultKind> FaultNamed(std::string_view word) {
    for (int k = 0; k <= static_cast<int>(FaultKind::PurgeFails); ++k) {
        const auto kind = static_cast<FaultKind>(k);
        if (Lower(FaultName(kind)) == Lower(word))
            return kind;
    }
    return std::nullopt;
}

// True when a fault kind takes a value after its name.
bool TakesValue(FaultKind kind) {
    switch (kind) {
    case FaultKind::LateAnswer:
    case FaultKind::GarbageStatus:
    case FaultKind::TruncatedAnswer:
    case FaultKind::ExtraBytes:
    case FaultKind::WriteProtect:
    case FaultKind::PresenceByte:
    case FaultKind::ShortWrite:
    case FaultKind::SlowTx:
        return true;
    default:
        return false;
    }
}

std::optional<MemoryImage> FixtureNamed(std::string_view word) {
    struct Named {
        const char* Name;
        const MemoryImage* Memory;
    };
    static const Named Fixtures[] = {{"a", &FixtureA},   {"b", &FixtureB},  {"c", &FixtureC},
                                     {"c2", &FixtureC2}, {"d", &FixtureD},  {"m", &FixtureM},
                                     {"u", &FixtureU},   {"u0", &FixtureU0}};
    for (const Named& f : Fixtures)
        if (Lower(word) == f.Name)
            return *f.Memory;
    return std::nullopt;
}

// The words of one line, without its comment.
std::vector<std::string> Words(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Reads one line's words into step; an error text, or empty.
std::string ParseStep(const std::vector<std::string>& words, PlanStep& step) {
    size_t at = 0;
    auto next = [&]() -> std::optional<std::string> {
        if (at < words.size())
            return words[at++];
        return std::nullopt;
    };
    std::optional<std::string> word = next();
    if (word && Lower(*word) == "at") {
        const auto time = next();
        const auto us = time ? Seconds(*time) : std::nullopt;
        if (!us)
            return "a time in seconds must follow \"at\"";
        step.AtUs = *us;
        word = next();
    }
    if (!word)
        return "no fault named";
    const std::string name = Lower(*word);

    auto channel = [&]() -> std::optional<int> {
        const auto v = next();
        const auto n = v ? Integer(*v) : std::nullopt;
        if (!n || (*n != 1 && *n != 2))
            return std::nullopt;
        return static_cast<int>(*n) - 1;
    };
    if (name == "devicegone" || name == "deviceback") {
        step.What =
            name == "devicegone" ? PlanStep::Action::DeviceGone : PlanStep::Action::DeviceBack;
    } else if (name == "straybyte") {
        step.What = PlanStep::Action::StrayByte;
        step.Value = 0xA5;
        if (const auto v = next()) {
            const auto n = Integer(*v);
            if (!n || *n < 0 || *n > 255)
                return "a byte (0 to 255) must follow StrayByte";
            step.Value = *n;
        }
    } else if (name == "longdescription") {
        step.What = PlanStep::Action::LongDescription;
        const auto v = next();
        const auto n = v ? Integer(*v) : std::nullopt;
        if (!n || *n < 0 || *n > 63)
            return "a length (0 to 63) must follow LongDescription";
        step.Value = *n;
    } else if (name == "unplug" || name == "plug" || name == "swap") {
        step.What = name == "unplug" ? PlanStep::Action::Unplug
                    : name == "plug" ? PlanStep::Action::Plug
                                     : PlanStep::Action::Swap;
        const auto c = channel();
        if (!c)
            return "a voie (1 or 2) must follow " + *word;
        step.Channel = *c;
        if (step.What != PlanStep::Action::Unplug) {
            const auto f = next();
            const auto memory = f ? FixtureNamed(*f) : std::nullopt;
            if (!memory)
                return "a fixture (A, B, C, C2, D, M, U, U0) must follow the voie";
            step.Memory = *memory;
        }
    } else {
        const auto kind = FaultNamed(*word);
        if (!kind)
            return "unknown fault \"" + *word + "\"";
        step.What = PlanStep::Action::ArmFault;
        step.Armed.Kind = *kind;
        if (TakesValue(*kind)) {
            const auto v = next();
            if (!v)
                return "a value must follow " + *word;
            if (*kind == FaultKind::WriteProtect) {
                const std::string mode = Lower(*v);
                if (mode != "nak" && mode != "silent")
                    return "WriteProtect takes nak or silent";
                step.Armed.Param = mode == "nak" ? 0 : 1;
            } else {
                const auto n = Integer(*v);
                if (!n || *n < 0 || *n > 1'000'000)
                    return "the value of " + *word + " is not a number";
                step.Armed.Param = *n;
            }
        }
        // The simulator counts delays in microseconds, people in ms.
        if (*kind == FaultKind::LateAnswer || *kind == FaultKind::SlowTx)
            step.Armed.Param *= 1000;
        if (at < words.size()) {
            if (const auto command = CommandNamed(words[at])) {
                step.Armed.Target = *command;
                ++at;
            }
        }
        if (at < words.size()) {
            const std::string scope = Lower(words[at++]);
            const auto v = next();
            if (scope == "next") {
                const auto n = v ? Integer(*v) : std::nullopt;
                if (!n || *n < 1 || *n > 1'000'000)
                    return "a count must follow \"next\"";
                step.NextCount = static_cast<int>(*n);
            } else if (scope == "for") {
                const auto us = v ? Seconds(*v) : std::nullopt;
                if (!us)
                    return "a time in seconds must follow \"for\"";
                step.DurationUs = *us;
            } else {
                return "\"" + scope + "\" is neither a command nor next or for";
            }
        }
    }
    if (at < words.size())
        return "\"" + words[at] + "\" left over";
    return {};
}

} // namespace

ParsedPlan ParseFaultPlan(std::string_view text) {
    ParsedPlan plan;
    int number = 0;
    while (!text.empty() || number == 0) {
        ++number;
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::vector<std::string> words = Words(line);
        if (words.empty())
            continue;
        PlanStep step;
        const std::string error = ParseStep(words, step);
        if (error.empty())
            plan.Steps.push_back(step);
        else
            plan.Errors.push_back("line " + std::to_string(number) + ": " + error);
    }
    return plan;
}

void PlanRunner::Start(ParsedPlan plan, int64_t nowUs) {
    Device.Faults().Clear();
    Waiting = std::move(plan.Steps);
    // Steps of the same time keep the file's order.
    std::stable_sort(Waiting.begin(), Waiting.end(),
                     [](const PlanStep& a, const PlanStep& b) { return a.AtUs < b.AtUs; });
    StartUs = nowUs;
    Update(nowUs);
}

void PlanRunner::Update(int64_t nowUs) {
    size_t done = 0;
    while (done < Waiting.size() && StartUs + Waiting[done].AtUs <= nowUs)
        Apply(Waiting[done++], nowUs);
    Waiting.erase(Waiting.begin(), Waiting.begin() + static_cast<std::ptrdiff_t>(done));
}

void PlanRunner::Apply(const PlanStep& step, int64_t nowUs) {
    switch (step.What) {
    case PlanStep::Action::ArmFault: {
        Fault fault = step.Armed;
        if (step.NextCount > 0)
            fault.When = Scope::Next(step.NextCount);
        else if (step.DurationUs > 0)
            fault.When = Scope::Window(nowUs, nowUs + step.DurationUs);
        else
            fault.When = Scope::All();
        Device.Faults().Add(fault);
        break;
    }
    case PlanStep::Action::DeviceGone:
        Device.Disconnect();
        break;
    case PlanStep::Action::DeviceBack:
        Device.Reconnect();
        break;
    case PlanStep::Action::StrayByte:
        Device.Faults().StrayByte(nowUs, static_cast<uint8_t>(step.Value));
        break;
    case PlanStep::Action::LongDescription:
        Device.Faults().LongDescription(static_cast<int>(step.Value));
        break;
    case PlanStep::Action::Unplug:
        Device.Unplug(step.Channel);
        break;
    case PlanStep::Action::Plug:
        Device.Plug(step.Channel, step.Memory);
        break;
    case PlanStep::Action::Swap:
        Device.Replace(step.Channel, step.Memory);
        break;
    }
}

FaultPlanDriver::FaultPlanDriver(std::unique_ptr<SimD2xx> simulated, std::filesystem::path planFile)
    : Inner(std::move(simulated)), PlanFile(std::move(planFile)), Runner(Inner->Bus().Device()) {
    Watch();
}

void FaultPlanDriver::Watch() {
    const int64_t now = platform::CurrentClock().NowUs();
    if (!Looked || now - LastLookUs >= LookEveryUs) {
        Looked = true;
        LastLookUs = now;
        std::ifstream in(PlanFile, std::ios::binary);
        const bool present = static_cast<bool>(in);
        std::string content;
        if (present)
            content.assign(std::istreambuf_iterator<char>(in), {});
        if (HadFile && !present)
            std::fprintf(stderr, "%s: cannot read %s: no faults\n", FaultPlanVariable,
                         PlanFile.c_str());
        if (present != HadFile || content != LastContent) {
            HadFile = present;
            LastContent = content;
            ParsedPlan plan = ParseFaultPlan(content);
            for (const std::string& error : plan.Errors)
                std::fprintf(stderr, "%s: %s, %s\n", FaultPlanVariable, PlanFile.c_str(),
                             error.c_str());
            Runner.Start(std::move(plan), now);
        }
    }
    Runner.Update(now);
}

FT_STATUS FaultPlanDriver::ListDevices(void* arg1, void* arg2, DWORD flags) {
    Watch();
    return Inner->ListDevices(arg1, arg2, flags);
}
FT_STATUS FaultPlanDriver::OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) {
    Watch();
    return Inner->OpenEx(arg1, flags, handle);
}
FT_STATUS FaultPlanDriver::Close(FT_HANDLE handle) {
    Watch();
    return Inner->Close(handle);
}
FT_STATUS FaultPlanDriver::ResetDevice(FT_HANDLE handle) {
    Watch();
    return Inner->ResetDevice(handle);
}
FT_STATUS FaultPlanDriver::Purge(FT_HANDLE handle, ULONG mask) {
    Watch();
    return Inner->Purge(handle, mask);
}
FT_STATUS FaultPlanDriver::GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
    Watch();
    return Inner->GetQueueStatus(handle, rxBytes);
}
FT_STATUS FaultPlanDriver::Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) {
    Watch();
    return Inner->Write(handle, buffer, toWrite, written);
}
FT_STATUS FaultPlanDriver::Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) {
    Watch();
    return Inner->Read(handle, buffer, toRead, read);
}

} // namespace sim
