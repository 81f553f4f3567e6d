#include "platform/HeldInput.h"

#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace zorvexa {

namespace {

struct Owner {
    std::function<void()> releaser;
    std::multiset<int> held;
};

// Never destroyed: the last releases happen while the process ends.
struct Record {
    std::mutex mutex;
    std::map<HeldInputOwner, Owner> owners;
};
Record& record() {
    static Record* instance = new Record;
    return *instance;
}

} // namespace

void registerHeldInputOwner(HeldInputOwner owner, std::function<void()> releaser) {
    std::lock_guard<std::mutex> lock(record().mutex);
    record().owners[owner].releaser = std::move(releaser);
}

void unregisterHeldInputOwner(HeldInputOwner owner) {
    std::lock_guard<std::mutex> lock(record().mutex);
    record().owners.erase(owner);
}

void noteInputDown(HeldInputOwner owner, int code) {
    std::lock_guard<std::mutex> lock(record().mutex);
    record().owners[owner].held.insert(code);
}

void noteInputUp(HeldInputOwner owner, int code) {
    std::lock_guard<std::mutex> lock(record().mutex);
    const auto found = record().owners.find(owner);
    if (found == record().owners.end()) {
        return;
    }
    // One release lets go of the key however often it was pressed: the server keeps a
    // single down state per key.
    found->second.held.erase(code);
}

std::vector<int> heldInputOf(HeldInputOwner owner) {
    std::lock_guard<std::mutex> lock(record().mutex);
    const auto found = record().owners.find(owner);
    if (found == record().owners.end()) {
        return {};
    }
    const std::set<int> unique(found->second.held.begin(), found->second.held.end());
    return {unique.begin(), unique.end()};
}

int heldInputCount() {
    std::lock_guard<std::mutex> lock(record().mutex);
    int count = 0;
    for (const auto& entry : record().owners) {
        count += static_cast<int>(entry.second.held.size());
    }
    return count;
}

void releaseAllHeldInput() {
    // The releasers call back into the record: collect them first, call them unlocked.
    std::vector<std::function<void()>> releasers;
    {
        std::lock_guard<std::mutex> lock(record().mutex);
        for (const auto& entry : record().owners) {
            if (!entry.second.held.empty() && entry.second.releaser) {
                releasers.push_back(entry.second.releaser);
            }
        }
    }
    for (const auto& release : releasers) {
        release();
    }
}

} // namespace zorvexa
