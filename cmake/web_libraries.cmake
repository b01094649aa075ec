# The browser build's libraries: SDL2, SDL2_image and SDL2_ttf (with freetype) as static libraries
# cross-built with emscripten by tools/web/deps.sh, whose prefix is VUNT_WEB_DEPS.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "VUNT_WEB builds with emscripten: emcmake cmake -DVUNT_WEB=ON ... (or make web)")
endif()
set(VUNT_WEB_DEPS "" CACHE PATH "Prefix of the libraries built by tools/web/deps.sh")
if(NOT VUNT_WEB_DEPS OR NOT EXISTS "${VUNT_WEB_DEPS}/.complete")
  message(FATAL_ERROR "VUNT_WEB_DEPS must name the prefix printed by tools/web/deps.sh")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH "${VUNT_WEB_DEPS}")
list(APPEND CMAKE_PREFIX_PATH "${VUNT_WEB_DEPS}")

# Each library as one imported target of the name the desktop build uses, linked from its
# static archive (their CMake packages name other targets for static builds).
function(vunt_web_library target archive)
  if(NOT EXISTS "${VUNT_WEB_DEPS}/lib/${archive}")
    message(FATAL_ERROR "${VUNT_WEB_DEPS}/lib/${archive} is missing: run tools/web/deps.sh again")
  endif()
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION "${VUNT_WEB_DEPS}/lib/${archive}"
    INTERFACE_INCLUDE_DIRECTORIES "${VUNT_WEB_DEPS}/include/SDL2;${VUNT_WEB_DEPS}/include")
endfunction()
vunt_web_library(SDL2::SDL2 libSDL2.a)
vunt_web_library(vunt_freetype libfreetype.a)
vunt_web_library(SDL2_ttf::SDL2_ttf libSDL2_ttf.a)
vunt_web_library(SDL2_image::SDL2_image libSDL2_image.a)
set_property(TARGET SDL2_ttf::SDL2_ttf APPEND PROPERTY INTERFACE_LINK_LIBRARIES vunt_freetype SDL2::SDL2)
set_property(TARGET SDL2_image::SDL2_image APPEND PROPERTY INTERFACE_LINK_LIBRARIES SDL2::SDL2)
# Nothing here starts a thread.
add_library(Threads::Threads INTERFACE IMPORTED)

# The engine ends a run by throwing (closing the window, EXIT, an error report): emscripten
# catches exceptions only when asked to.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
