// Reads config.xml into the configuration model.
#pragma once

#include <string>
#include <vector>

#include "common/KeyNames.h"

#include "main/control/ConfigModel.h"

namespace zorvexa {

struct ConfigLoadResult {
    bool ok = false;
    std::string error;            // one line naming the file and the reason, empty when ok
    std::vector<KeyMention> keys; // every key, extKey and extKey2 of an event, with its line
};

// Parses the file at `path`. Every application entry starts in mode 0 when `beginner` is
// set, else in mode 1. A missing or malformed file, or one without a document element,
// leaves `config` empty and explains why in the result.
ConfigLoadResult loadConfiguration(const std::string& path, bool beginner, Configuration& config);

// The same from text already in memory; `name` is used in messages.
ConfigLoadResult parseConfiguration(const std::string& text, const std::string& name, bool beginner,
                                    Configuration& config);

} // namespace zorvexa
