# The X11 window's icons as a C++ source made at configure time from the raw
# pictures that scripts/make-icon.sh writes (packaging/icons/quorvale-NxN.rgba:
# 8-bit R,G,B,A per pixel, rows from the top).
set(QUORVALE_WINDOW_ICON_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging/icons)
set(QUORVALE_WINDOW_ICON_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/../platform/window_icon.cpp.in)
set(QUORVALE_WINDOW_ICON_SIZES 48 32)  # pixels, largest first as platform/window_icon.h asks

# Write the table of windowIcons[] to `output`; rewritten only when it changes,
# and CMake configures again when a picture changes.
function(quorvale_window_icon_source output)
  set(QUORVALE_ICON_TABLES "")
  set(QUORVALE_ICON_ENTRIES "")
  list(LENGTH QUORVALE_WINDOW_ICON_SIZES QUORVALE_ICON_COUNT)
  foreach(size IN LISTS QUORVALE_WINDOW_ICON_SIZES)
    set(picture ${QUORVALE_WINDOW_ICON_DIR}/quorvale-${size}x${size}.rgba)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${picture})
    file(READ ${picture} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR expected "${size} * ${size} * 4 * 2")
    if(NOT digits EQUAL expected)
      message(FATAL_ERROR "${picture}: ${digits} hex digits, expected ${expected} "
                          "(${size}x${size} RGBA); run scripts/make-icon.sh")
    endif()
    # R,G,B,A bytes to one 0xAARRGGBB word each, eight words to a line.
    set(byte "([0-9a-f][0-9a-f])")
    string(REGEX REPLACE "${byte}${byte}${byte}${byte}" "0x\\4\\1\\2\\3, " words "${hex}")
    string(REPEAT "0x[0-9a-f]+, " 8 line)
    string(REGEX REPLACE "(${line})" "\\1\n    " words "${words}")
    string(APPEND QUORVALE_ICON_TABLES
      "constexpr std::uint32_t icon${size}[${size} * ${size}] = {\n    ${words}\n};\n")
    string(APPEND QUORVALE_ICON_ENTRIES "    {${size}, ${size}, icon${size}},\n")
  endforeach()
  configure_file(${QUORVALE_WINDOW_ICON_TEMPLATE} ${output} @ONLY)
endfunction()
