#pragma once
// The headless input file: one event a line (click, label N, key N, char C, the aids' keys, ...),
// blank lines and lines starting with "#" ignored. Its words name places of the game's window and
// keys of its aids, so the game reads it; the headless host only hands the events back.
#include <optional>
#include <string>
#include <vector>

#include "platform/input.hpp"

namespace vunt {

// Parses an input file. On a bad line returns nothing and sets error to a one-line message.
std::optional<std::vector<InputEvent>> parseInputEvents(const std::string& text, std::string& error);

}  // namespace vunt
