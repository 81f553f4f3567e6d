#include "platform/DesktopLost.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace zorvexa {

namespace {

std::mutex g_mutex;
std::function<void()> g_handler;
std::atomic<bool> g_called{false};

} // namespace

void setDesktopLostHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_handler = std::move(handler);
}

void desktopLost() {
    if (g_called.exchange(true)) {
        return;
    }
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        handler = g_handler;
    }
    if (handler) {
        handler();
    }
}

} // namespace zorvexa
