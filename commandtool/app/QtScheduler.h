// Delayed calls through the Qt event loop: single-shot timers owned by a context object,
// so a call never runs after its owner is gone.
#pragma once

#include <QObject>
#include <QTimer>

#include "commandtool/controller/Scheduler.h"

namespace zorvexa {

class QtScheduler : public Scheduler {
  public:
    explicit QtScheduler(QObject* context) : context_(context) {}

    void callAfter(int milliseconds, std::function<void()> call) override {
        QTimer::singleShot(milliseconds, context_, std::move(call));
    }

  private:
    QObject* context_;
};

} // namespace zorvexa
