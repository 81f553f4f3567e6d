// In-memory model of config.xml. Every value stays text, exactly as written in the file;
// numbers and key names are converted each time an event fires.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

namespace zorvexa {

struct EventEntry {
    std::string action;
    std::string action2;
    std::string key;
    std::string repeat;
    std::string retriggrable;
    std::string extKey;
    std::string extKey2;
    std::string x;
    std::string y;
    std::string execute;
    std::string sysCommand;
    std::string acceleration;
    std::string max_acceleration;
    std::string debounce;
};

constexpr int kEventSlots = 9;

struct ModeEntry {
    std::array<EventEntry, kEventSlots> events;
    std::string desc;
};

struct AppEntry {
    std::string name;
    std::string windowClass;
    std::string targetWindow;
    std::string targetWindowClass;
    std::string hideOverlayWindow;
    int modeIndex = 0;
    std::vector<ModeEntry> modes;
};

struct Configuration {
    std::string version;
    std::map<std::string, AppEntry> apps; // keyed by windowClass
};

// Event slot of a gesture event name ("UP_MOTION" ... "TOCENTER_MOTION"), or -1.
int slotOfEventName(const std::string& name);
// Event slot that a gesture direction selects, or -1.
int slotOfDirection(int direction);

} // namespace zorvexa
