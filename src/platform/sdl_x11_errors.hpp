#pragma once
// Keeps an X11 error about a window that no longer exists from ending the program (see the .cpp).
namespace vunt {
void ignoreVanishedWindows();
}
