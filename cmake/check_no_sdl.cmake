# Fails the build when a core source or header includes an SDL header (<SDL.h>, <SDL2/SDL.h>,
# "SDL_image.h", ...). Run before vunt_core is archived; the core is compiled without SDL's include
# directories, and this also catches the spellings that go through /usr/include.
# usage: cmake -DCORE_SOURCES=<list separated by |> -P check_no_sdl.cmake
string(REPLACE "|" ";" files "${CORE_SOURCES}")
set(found "")
foreach(f ${files})
  file(STRINGS "${f}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL")
  if(hits)
    list(APPEND found "${f}: ${hits}")
  endif()
endforeach()
if(found)
  list(JOIN found "\n  " lines)
  message(FATAL_ERROR "The core (script, puzzle, shell, text, authoring, SDL-free platform) must not include SDL; "
                      "move this code to an SDL backend file (src/platform/sdl_*.cpp):\n  ${lines}")
endif()
