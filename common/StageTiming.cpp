#include "common/StageTiming.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace zorvexa::timing {

std::atomic<bool> g_enabled{false};

namespace {

constexpr int kStages = static_cast<int>(Stage::Count);

struct Totals {
    std::atomic<uint64_t> calls{0};
    std::atomic<uint64_t> ns{0};
};

std::array<Totals, kStages> g_totals;
std::atomic<uint64_t> g_frames{0};
std::atomic<int64_t> g_lastFlush{0};
std::mutex g_fileMutex; // guards g_path and the file writes
std::string g_path;

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void writeRecord() {
    std::lock_guard<std::mutex> lock(g_fileMutex);
    if (g_path.empty())
        return;
    // Written beside the target and renamed over it: a reader never sees half a record.
    const std::string temporary = g_path + ".part";
    if (FILE* out = std::fopen(temporary.c_str(), "w")) {
        const std::string text = recordText();
        const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
        if (std::fclose(out) == 0 && written)
            std::rename(temporary.c_str(), g_path.c_str());
    }
}

} // namespace

const char* stageName(Stage stage) {
    static const char* const names[kStages] = {
        "capture", "mirror_scale",  "extract",  "interpret",  "dispatch",
        "draw",    "pane_handover", "painting", "guide_clip", "indicator"};
    const int index = static_cast<int>(stage);
    return index >= 0 && index < kStages ? names[index] : "?";
}

void enable(const std::string& path) {
    if (path.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(g_fileMutex);
        g_path = path;
    }
    g_lastFlush.store(steadyNs(), std::memory_order_relaxed);
    g_enabled.store(true, std::memory_order_relaxed);
    writeRecord();
}

void disable() {
    if (!g_enabled.exchange(false))
        return;
    writeRecord();
}

int64_t threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void add(Stage stage, int64_t ns) {
    const int index = static_cast<int>(stage);
    if (index < 0 || index >= kStages || ns < 0)
        return;
    g_totals[static_cast<size_t>(index)].calls.fetch_add(1, std::memory_order_relaxed);
    g_totals[static_cast<size_t>(index)].ns.fetch_add(static_cast<uint64_t>(ns),
                                                      std::memory_order_relaxed);
}

void frameDone() {
    if (!enabled())
        return;
    g_frames.fetch_add(1, std::memory_order_relaxed);
    const int64_t now = steadyNs();
    int64_t last = g_lastFlush.load(std::memory_order_relaxed);
    if (now - last >= 1000000000 &&
        g_lastFlush.compare_exchange_strong(last, now, std::memory_order_relaxed))
        writeRecord();
}

std::string recordText() {
    std::string text = "frames " + std::to_string(g_frames.load(std::memory_order_relaxed)) + "\n";
    for (int k = 0; k < kStages; ++k) {
        char line[96];
        std::snprintf(line, sizeof line, "stage %s %llu %llu\n", stageName(static_cast<Stage>(k)),
                      static_cast<unsigned long long>(
                          g_totals[static_cast<size_t>(k)].calls.load(std::memory_order_relaxed)),
                      static_cast<unsigned long long>(
                          g_totals[static_cast<size_t>(k)].ns.load(std::memory_order_relaxed)));
        text += line;
    }
    return text;
}

} // namespace zorvexa::timing
