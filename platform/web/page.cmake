# The program as quorvale.js, the wasm inside it (SINGLE_FILE), for the page
# that scripts/build-web.sh writes around it. Emscripten's own .html output is
# not used: Debian's emscripten crashes minifying it at -O1 and above.
set(QUORVALE_PAGE_MODULE ${CMAKE_CURRENT_SOURCE_DIR}/platform/web/page_module.js)
set_target_properties(quorvale PROPERTIES SUFFIX ".js")
target_link_options(quorvale PRIVATE
  -sSINGLE_FILE=1
  -sALLOW_MEMORY_GROWTH=1
  -sENVIRONMENT=web
  "SHELL:--pre-js ${QUORVALE_PAGE_MODULE}"
)
set_property(TARGET quorvale APPEND PROPERTY LINK_DEPENDS ${QUORVALE_PAGE_MODULE})
