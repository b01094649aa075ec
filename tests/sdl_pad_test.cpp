// A game controller through SDL's own game controller layer: a virtual pad (no device needed)
// pressed and moved, and the events SDL makes of it named as the game names the pad's buttons.
#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "platform/sdl_keys.hpp"

using namespace vunt;

TEST(SdlPad, VirtualPadButtonsAndStickReachTheGameByName) {
  ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  ASSERT_TRUE(SDL_IsGameController(index));
  SDL_GameController* pad = SDL_GameControllerOpen(index);
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  SDL_Joystick* stick = SDL_GameControllerGetJoystick(pad);

  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
  SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_START, 1);
  SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, -30000);
  SDL_GameControllerUpdate();
  std::vector<PadButton> pressed;
  std::vector<std::pair<PadButton, bool>> fromAxes;
  PadAxes axes;
  for (SDL_Event e; SDL_PollEvent(&e);) {
    if (e.type == SDL_CONTROLLERBUTTONDOWN) {
      if (auto b = padButtonOf(e.cbutton.button)) pressed.push_back(*b);
    } else if (e.type == SDL_CONTROLLERAXISMOTION) {
      if (auto a = padAxisOf(e.caxis.axis)) axes.move(*a, e.caxis.value, fromAxes);
    }
  }
  EXPECT_EQ(pressed, (std::vector<PadButton>{PadButton::A, PadButton::Start, PadButton::Left}));
  EXPECT_EQ(fromAxes, (std::vector<std::pair<PadButton, bool>>{{PadButton::Up, true}}));
  EXPECT_FALSE(padAxisOf(SDL_CONTROLLER_AXIS_RIGHTX));
  SDL_GameControllerClose(pad);
  SDL_JoystickDetachVirtual(index);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}
