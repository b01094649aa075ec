#pragma once
// The starter game of `vunt-asm --init DIR` (and `make new-game DIR=...`): a source file with a
// title menu, one scene, a save point and a puzzle, its stage as text and packed, the puzzle's
// sounds (short tones), a headless test input, and the assembled script with its line map. It
// lints clean, so an author starts from a game that works.
#include <filesystem>
#include <string>

namespace vunt {

// Writes the starter game into dir, which must be new or empty. False and a one-line reason in
// error when it cannot.
bool writeStarterGame(const std::filesystem::path& dir, std::string& error);

}  // namespace vunt
