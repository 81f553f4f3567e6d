// Hands the analyzer's per-frame gestures to the dispatcher and describes, for every
// recognised stroke, what it did: through a recording desktop on a dry run, or for real
// on the running desktop.
#pragma once

#include <memory>
#include <string>

#include "main/control/CControlEvents.h"

namespace zorvexa {

class Desktop;
class FakeDesktop;
struct AppState;

class DispatchReport {
  public:
    // Dry run: a recording desktop whose window in front has class `windowClass`.
    static std::unique_ptr<DispatchReport> dryRun(AppState& state, const std::string& configPath,
                                                  const std::string& windowClass);
    // For real: the given desktop (normally the system's).
    static std::unique_ptr<DispatchReport> live(AppState& state, const std::string& configPath,
                                                std::shared_ptr<Desktop> desktop);

    // Empty when the configuration was read.
    const std::string& loadError() const { return events_->loadError(); }

    // Dispatches one frame's direction (0 included, as the program does). For a stroke,
    // returns what happened; empty otherwise.
    std::string dispatch(int dir);

  private:
    DispatchReport(AppState& state, const std::string& configPath, std::shared_ptr<Desktop> desktop,
                   std::shared_ptr<FakeDesktop> recorder);
    std::string describeEvent(int dir) const;

    AppState& state_;
    std::shared_ptr<FakeDesktop> recorder_; // null when dispatching for real
    std::unique_ptr<CControlEvents> events_;
};

} // namespace zorvexa
