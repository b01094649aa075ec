#pragma once
// The design of the main window: its properties and its control table, in creation order.
#include <vector>

#include "platform/controls.hpp"

namespace vunt {

FormDesign mainWindowDesign();
std::vector<ControlDesign> mainWindowControls();

}  // namespace vunt
