#pragma once
// Text from a game folder (script lines, file names, fields of a line map) reaches the terminal in
// reports on standard error and in the tools' output. Control characters and escape sequences in
// it would move the cursor, recolour the terminal or hide text, so they are shown escaped.
#include <string>
#include <string_view>

namespace vunt {

// utf8 with C0 controls and DEL as \xHH, C1 controls and the bidirectional overrides as \u{HHHH};
// a line feed stays when keepLineFeeds. Bytes that are no UTF-8 are escaped as \xHH too.
std::string terminalText(std::string_view utf8, bool keepLineFeeds = false);

}  // namespace vunt
