// The share of one core that the process used between two moments: its CPU
// time (user and system, every thread) over the wall-clock time.
#pragma once

#include <chrono>
#include <ctime>

class CpuUse {
public:
    CpuUse() { Restart(); }
    void Restart() {
        WallStart = std::chrono::steady_clock::now();
        CpuStart = CpuSeconds();
    }
    // Percent of one core since the start.
    double Percent() const {
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - WallStart).count();
        return wall > 0 ? 100.0 * (CpuSeconds() - CpuStart) / wall : 0;
    }

private:
    static double CpuSeconds() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
    std::chrono::steady_clock::time_point WallStart;
    double CpuStart = 0;
};
