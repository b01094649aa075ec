# The browser build's programs, from the same engine as the desktop's:
#   vunt.js + vunt.wasm       the game in a page (tools/web/vunt-web makes the page around it)
#   vunt-node.js + .wasm      the same main() under Node.js, reading the real file system: its
#                             --headless transcripts are compared with the desktop's
# The help text that main() prints is made by vunt_help_pages, run under Node.js.
add_executable(vunt_help_pages ${CMAKE_SOURCE_DIR}/packaging/help_pages.cpp)
target_link_options(vunt_help_pages PRIVATE -sNODERAWFS=1 -sENVIRONMENT=node -sEXIT_RUNTIME=1)
set(VUNT_HELP_HEADER ${CMAKE_BINARY_DIR}/generated/help/vunt.hpp)
add_custom_command(OUTPUT ${VUNT_HELP_HEADER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/help ${CMAKE_BINARY_DIR}/man
  COMMAND node --no-experimental-fetch $<TARGET_FILE:vunt_help_pages> ${CMAKE_SOURCE_DIR}/docs/man/vunt.txt
          ${VUNT_HELP_HEADER} ${CMAKE_BINARY_DIR}/man/vunt.6 ${PROJECT_VERSION}
  DEPENDS vunt_help_pages ${CMAKE_SOURCE_DIR}/docs/man/vunt.txt
  COMMENT "Help text of vunt" VERBATIM)

set(VUNT_WEB_COMMON_LINK -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1)

# The page's engine. Its waits block inside a tick as on the desktop; ASYNCIFY lets them yield to
# the browser. SDL 2.26's audio code needs two helpers named (tools/web/sdl_audio_helpers.js).
# src/web/saves_bridge.cpp: the page's export and import of the saves.
add_executable(vunt ${CMAKE_SOURCE_DIR}/src/main.cpp ${CMAKE_SOURCE_DIR}/src/web/saves_bridge.cpp ${VUNT_HELP_HEADER})
target_include_directories(vunt PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(vunt PRIVATE vunt_engine)
# Optimised for size at the link, where ASYNCIFY's rewrite and the final optimisation run: the
# page downloads the engine. ASYNCIFY instruments every function that may reach a wait through an
# indirect call or an exception's invoke: tools/web/asyncify_remove.txt names the library code that
# never waits (FreeType, stb_image, SDL_ttf, SDL_image, SDL_mixer, SDL's allocator, blitters,
# converters, joysticks and logging, the C++ library's strings, streams, locales and file system),
# which keeps it uninstrumented: 150 KB less to download (gzip). SDL's window updates and delays,
# std::function and the engine's own code stay instrumented.
target_link_options(vunt PRIVATE ${VUNT_WEB_COMMON_LINK} -Oz -sENVIRONMENT=web -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=65536 "-sASYNCIFY_REMOVE=@${CMAKE_SOURCE_DIR}/tools/web/asyncify_remove.txt" -lidbfs.js
  --js-library ${CMAKE_SOURCE_DIR}/tools/web/sdl_audio_helpers.js -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=vunt_sdl_audio_helpers
  "-sEXPORTED_RUNTIME_METHODS=['FS','allocateUTF8','UTF8ToString']" "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free']"
  # (SHELL: keeps CMake from merging the repeated option.)
  "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/tools/web/storage.js" "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/tools/web/package.js")
set_property(TARGET vunt APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/tools/web/asyncify_remove.txt ${CMAKE_SOURCE_DIR}/tools/web/storage.js
             ${CMAKE_SOURCE_DIR}/tools/web/package.js ${CMAKE_SOURCE_DIR}/tools/web/sdl_audio_helpers.js)

add_executable(vunt_node ${CMAKE_SOURCE_DIR}/src/main.cpp ${VUNT_HELP_HEADER})
set_target_properties(vunt_node PROPERTIES OUTPUT_NAME vunt-node)
target_include_directories(vunt_node PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(vunt_node PRIVATE vunt_engine)
target_link_options(vunt_node PRIVATE ${VUNT_WEB_COMMON_LINK} -sENVIRONMENT=node -sNODERAWFS=1
  "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/tools/web/node_env.js")
set_property(TARGET vunt_node APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/tools/web/node_env.js)

# The licences of the libraries linked into the engine, which travel with every page
# (vunt-web copies the file): from the source packages' copyright files that deps.sh keeps.
file(GLOB VUNT_WEB_LICENCES ${VUNT_WEB_DEPS}/share/licences/*.txt)
set(VUNT_WEB_LICENCE_TEXT "The libraries linked into vunt.wasm, from Debian's source packages:\n")
foreach(licence ${VUNT_WEB_LICENCES})
  get_filename_component(name ${licence} NAME_WE)
  file(READ ${licence} text)
  string(APPEND VUNT_WEB_LICENCE_TEXT "\n==== ${name} ====\n\n${text}")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/engine-licences.txt "${VUNT_WEB_LICENCE_TEXT}")
