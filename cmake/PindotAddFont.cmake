# pindot_add_font(): a dot-matrix font made by pindot at build time, as a static library that a
# firmware links.
#
#   pindot_add_font(<name>
#     [FONT <face> | FONT_FILE <path>] [SIZE <px> | EM_SIZE <px>] [WIDTH <px>]
#     [BOLD] [ITALIC] [UNDERLINE] [STRIKEOUT]
#     [TEXT <text>] [TEXT_FILE <path>] [RANGE <A-B>...] [CHARSET <name>...]
#     [EXCLUDE <text>] [EXCLUDE_RANGE <A-B>...]
#     [SORT unicode|ansi] [CODEPAGE <n>] [CONST] [SHEET <path.png>] [SHEET_ZOOM <n>] [STRICT]
#     [NAME <c-name>]
#     [FORMAT exfont|lvgl|lvgl-bin|u8g2|gfx|raw] [BPP 1|2|4|8]
#     [LAYOUT rows-msb|rows-lsb|pages-lsb|pages-msb] [ROTATE 0|90|180|270]
#     [OUTPUT_DIR <dir>] [EXFONT_DIR <dir>])
#
# The choices are pindot's options, with the same meanings and defaults. A custom command makes
# <name>.h and <name>.c in OUTPUT_DIR (default: the current binary folder), run again (with make as
# with Ninja) when the options change (they are kept in <name>.toml, rewritten only when they change), when FONT_FILE or
# TEXT_FILE change, or when pindot does. The static library <name> compiles <name>.c; its include
# folders carry <name>.h and, with EXFONT_DIR, the firmware's ExFont.h. STRICT fails the build when
# a character does not come out as asked. Relative FONT_FILE, TEXT_FILE and EXFONT_DIR are taken
# from the current source folder, OUTPUT_DIR and SHEET from the current binary folder.
#
# FORMAT lvgl makes <name>.c alone, an LVGL font declared as `const lv_font_t <NAME>`; the library
# <name> compiles it, and the firmware links its LVGL target to it for lvgl.h. FORMAT lvgl-bin makes
# <name>.bin, LVGL's binary font file, built by the target <name> with ALL. BPP gives their glyphs
# 2, 4 or 8 levels of grey.
#
# FORMAT u8g2 and FORMAT raw make <name>.h and <name>.c declaring `const uint8_t <NAME>[]` (a u8g2
# font), or raw cells with `<NAME>_lookup` (laid out as LAYOUT and ROTATE say); FORMAT gfx makes
# <name>.h alone, defining `GFXfont <NAME>`, and <name> is an interface library that carries its
# folder (the firmware links Adafruit GFX for "gfxfont.h").
#
# The generated C names are made from NAME, by default <name> when that is a C identifier
# (g_<name>, install_<name>, ...), so they stay when the font changes. A font without one (its
# <name> holds . + or -) gets names that hold only the cell height, the widths and the sort
# (g_unicode_font16, install_unicode_16x16_font, ...); two such fonts of the same height and sort
# do not link together, so two calls with the same SORT and the same SIZE are refused here, as are
# two with the same NAME or the same include guard. (A height that only pindot knows, from EM_SIZE
# or a bitmap face, shows when the firmware links.)
include_guard(GLOBAL)

# The value as a TOML basic string.
function(pindot_internal_toml_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  string(REPLACE "\n" "\\n" value "${value}")
  string(REPLACE "\r" "\\r" value "${value}")
  string(REPLACE "\t" "\\t" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# A whole number as pindot takes it, decimal or 0x hexadecimal, within minimum..maximum, made
# decimal; a fatal error naming the call otherwise.
function(pindot_internal_number out where keyword value minimum maximum)
  if(NOT value MATCHES "^(0[xX][0-9a-fA-F]+|[0-9]+)$")
    message(FATAL_ERROR "${where}: ${keyword} \"${value}\" is not a whole number")
  endif()
  if(value MATCHES "^[0-9]+$")
    string(REGEX REPLACE "^0+([0-9])" "\\1" value "${value}")  # decimal, never octal
  endif()
  math(EXPR number "${value}")
  if(number LESS minimum OR number GREATER maximum)
    message(FATAL_ERROR "${where}: ${keyword} ${value} is not from ${minimum} to ${maximum}")
  endif()
  set(${out} "${number}" PARENT_SCOPE)
endfunction()

# A range "A-B" as pindot takes it, A and B code points with A <= B; a fatal error naming the call
# otherwise.
function(pindot_internal_range where keyword text)
  set(number "(0[xX][0-9a-fA-F]+|[0-9]+)")
  if(NOT text MATCHES "^[ \t]*${number}[ \t]*-[ \t]*${number}[ \t]*$")
    message(FATAL_ERROR "${where}: ${keyword} \"${text}\" is not A-B with A and B decimal or "
                        "hexadecimal after 0x")
  endif()
  set(last_text "${CMAKE_MATCH_2}")
  pindot_internal_number(first "${where}" ${keyword} "${CMAKE_MATCH_1}" 0 1114111)
  pindot_internal_number(last "${where}" ${keyword} "${last_text}" 0 1114111)
  if(first GREATER last)
    message(FATAL_ERROR "${where}: ${keyword} \"${text}\" ends before it starts")
  endif()
endfunction()

function(pindot_add_font name)
  set(flags BOLD ITALIC UNDERLINE STRIKEOUT CONST STRICT)
  set(values FONT FONT_FILE SIZE EM_SIZE WIDTH TEXT TEXT_FILE SORT CODEPAGE SHEET OUTPUT_DIR
             EXFONT_DIR NAME EXCLUDE FORMAT BPP SHEET_ZOOM LAYOUT ROTATE)
  set(lists RANGE CHARSET EXCLUDE_RANGE)
  cmake_parse_arguments(PARSE_ARGV 1 arg "${flags}" "${values}" "${lists}")
  set(where "pindot_add_font(${name}) in ${CMAKE_CURRENT_LIST_FILE}")

  # The name is a target, a file title and the header's include guard.
  if(NOT name MATCHES "^[A-Za-z0-9_][A-Za-z0-9_.+-]*$")
    message(FATAL_ERROR "${where}: the name may hold only letters, digits and _ . + -")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${where}: unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  foreach(keyword IN LISTS arg_KEYWORDS_MISSING_VALUES)
    if(NOT keyword STREQUAL "TEXT")  # an empty sample text is one
      message(FATAL_ERROR "${where}: ${keyword} needs a value")
    endif()
  endforeach()
  foreach(pair "FONT;FONT_FILE" "SIZE;EM_SIZE")
    list(GET pair 0 first)
    list(GET pair 1 second)
    if(DEFINED arg_${first} AND DEFINED arg_${second})
      message(FATAL_ERROR "${where}: give ${first} or ${second}, not both")
    endif()
  endforeach()
  if(NOT DEFINED arg_NAME AND name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    set(arg_NAME "${name}")
  elseif(DEFINED arg_NAME AND NOT arg_NAME MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "${where}: NAME \"${arg_NAME}\" is not a C identifier")
  endif()
  if(NOT DEFINED arg_SORT)
    set(arg_SORT unicode)
  elseif(NOT arg_SORT MATCHES "^(unicode|ansi)$")
    message(FATAL_ERROR "${where}: SORT \"${arg_SORT}\" is not unicode or ansi")
  endif()
  if(NOT DEFINED arg_FORMAT)
    set(arg_FORMAT exfont)
  elseif(NOT arg_FORMAT MATCHES "^(exfont|lvgl|lvgl-bin|u8g2|gfx|raw)$")
    message(FATAL_ERROR
            "${where}: FORMAT \"${arg_FORMAT}\" is not exfont, lvgl, lvgl-bin, u8g2, gfx or raw")
  endif()
  if(arg_FORMAT MATCHES "^(lvgl|u8g2|gfx|raw)$" AND NOT DEFINED arg_NAME)
    message(FATAL_ERROR
            "${where}: FORMAT ${arg_FORMAT} declares the font as ${name}: use a C identifier")
  endif()
  if(DEFINED arg_LAYOUT AND NOT arg_LAYOUT MATCHES "^(rows-msb|rows-lsb|pages-lsb|pages-msb)$")
    message(FATAL_ERROR
            "${where}: LAYOUT \"${arg_LAYOUT}\" is not rows-msb, rows-lsb, pages-lsb or pages-msb")
  endif()
  if(DEFINED arg_ROTATE AND NOT arg_ROTATE MATCHES "^(0|90|180|270)$")
    message(FATAL_ERROR "${where}: ROTATE \"${arg_ROTATE}\" is not 0, 90, 180 or 270")
  endif()
  if(DEFINED arg_BPP AND NOT arg_BPP MATCHES "^[1248]$")
    message(FATAL_ERROR "${where}: BPP \"${arg_BPP}\" is not 1, 2, 4 or 8")
  endif()

  # The options as a manifest of one font, paths made absolute.
  set(depends)
  set(manifest "# Written by pindot_add_font(${name}); changes only when its options do.\n")
  string(APPEND manifest "[[font]]\n")
  if(NOT DEFINED arg_OUTPUT_DIR)
    set(arg_OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  get_filename_component(output_dir "${arg_OUTPUT_DIR}" ABSOLUTE
                         BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  pindot_internal_toml_string(value "${output_dir}/${name}.h")
  string(APPEND manifest "output = ${value}\n")
  if(arg_FORMAT STREQUAL "exfont")
    set(outputs "${output_dir}/${name}.h" "${output_dir}/${name}.c")
    set(sources ${outputs})
  elseif(arg_FORMAT STREQUAL "lvgl")
    set(outputs "${output_dir}/${name}.c")
    set(sources ${outputs})
    string(APPEND manifest "format = \"lvgl\"\n")
  elseif(arg_FORMAT MATCHES "^(u8g2|gfx|raw)$")
    set(outputs "${output_dir}/${name}.h")
    if(NOT arg_FORMAT STREQUAL "gfx")
      list(APPEND outputs "${output_dir}/${name}.c")
    endif()
    set(sources ${outputs})
    string(APPEND manifest "format = \"${arg_FORMAT}\"\n")
  else()
    set(outputs "${output_dir}/${name}.bin")
    string(APPEND manifest "format = \"${arg_FORMAT}\"\n")
  endif()
  if(DEFINED arg_BPP)
    string(APPEND manifest "bpp = ${arg_BPP}\n")
  endif()
  if(DEFINED arg_LAYOUT)
    string(APPEND manifest "layout = \"${arg_LAYOUT}\"\n")
  endif()
  if(DEFINED arg_ROTATE)
    string(APPEND manifest "rotate = ${arg_ROTATE}\n")
  endif()
  # Each entry: the keyword, the manifest's key, and for a path the folder it is relative to.
  foreach(entry "FONT_FILE;font-file;${CMAKE_CURRENT_SOURCE_DIR}"
                "TEXT_FILE;text-file;${CMAKE_CURRENT_SOURCE_DIR}"
                "SHEET;sheet;${CMAKE_CURRENT_BINARY_DIR}" "FONT;font" "TEXT;text" "SORT;sort"
                "NAME;name" "EXCLUDE;exclude")
    list(GET entry 0 keyword)
    list(GET entry 1 key)
    if(NOT DEFINED arg_${keyword} AND NOT (keyword STREQUAL "TEXT" AND "TEXT" IN_LIST
                                             arg_KEYWORDS_MISSING_VALUES))
      continue()
    endif()
    set(text "${arg_${keyword}}")
    list(LENGTH entry parts)
    if(parts EQUAL 3)
      list(GET entry 2 base)
      get_filename_component(text "${text}" ABSOLUTE BASE_DIR "${base}")
      if(keyword STREQUAL "SHEET")
        list(APPEND outputs "${text}")
      else()
        list(APPEND depends "${text}")
      endif()
    endif()
    pindot_internal_toml_string(value "${text}")
    string(APPEND manifest "${key} = ${value}\n")
  endforeach()
  foreach(entry "SIZE;size;1;1000" "EM_SIZE;em-size;1;1000" "WIDTH;width;1;1000"
                "CODEPAGE;codepage;0;4294967295" "SHEET_ZOOM;sheet-zoom;1;64")
    list(GET entry 0 keyword)
    list(GET entry 1 key)
    list(GET entry 2 minimum)
    list(GET entry 3 maximum)
    if(DEFINED arg_${keyword})
      pindot_internal_number(number "${where}" ${keyword} "${arg_${keyword}}" ${minimum}
                             ${maximum})
      set(arg_${keyword} ${number})
      string(APPEND manifest "${key} = ${number}\n")
    endif()
  endforeach()
  foreach(keyword IN ITEMS BOLD ITALIC UNDERLINE STRIKEOUT CONST)
    if(arg_${keyword})
      string(TOLOWER "${keyword}" key)
      string(APPEND manifest "${key} = true\n")
    endif()
  endforeach()
  foreach(keyword IN ITEMS RANGE CHARSET EXCLUDE_RANGE)
    if(DEFINED arg_${keyword})
      # A quoted argument holding a CMake list ("0x41-0x43;0x61-0x63") is several items.
      set(items)
      foreach(argument IN LISTS arg_${keyword})
        foreach(item ${argument})
          if(keyword MATCHES "RANGE$")
            pindot_internal_range("${where}" ${keyword} "${item}")
          endif()
          pindot_internal_toml_string(value "${item}")
          list(APPEND items "${value}")
        endforeach()
      endforeach()
      list(JOIN items ", " items)
      string(TOLOWER "${keyword}" key)
      string(REPLACE "_" "-" key "${key}")
      string(APPEND manifest "${key} = [${items}]\n")
    endif()
  endforeach()

  # Two calls whose C names would clash, as far as can be known before pindot measures the font.
  string(TOUPPER "${name}" guard)
  string(REGEX REPLACE "[^A-Z0-9_]" "_" guard "KV_${guard}_H")
  get_property(earlier GLOBAL PROPERTY PINDOT_ADD_FONT_CALLS)
  foreach(other IN LISTS earlier)
    get_property(other_where GLOBAL PROPERTY PINDOT_ADD_FONT_${other}_WHERE)
    get_property(other_guard GLOBAL PROPERTY PINDOT_ADD_FONT_${other}_GUARD)
    get_property(other_sort GLOBAL PROPERTY PINDOT_ADD_FONT_${other}_SORT)
    get_property(other_size GLOBAL PROPERTY PINDOT_ADD_FONT_${other}_SIZE)
    get_property(other_name GLOBAL PROPERTY PINDOT_ADD_FONT_${other}_NAME)
    if(other_guard STREQUAL guard)
      message(FATAL_ERROR "${where} and ${other_where} would both write a header guarded by "
                          "${guard}, which cannot be included together: give one another name")
    endif()
    get_property(other_format GLOBAL PROPERTY PINDOT_ADD_FONT_${other}_FORMAT)
    if(DEFINED arg_NAME AND other_name STREQUAL arg_NAME)
      message(FATAL_ERROR "${where} and ${other_where} would both define the C name ${arg_NAME}: "
                          "give one another NAME")
    endif()
    if(NOT DEFINED arg_NAME AND other_name STREQUAL "" AND DEFINED arg_SIZE
       AND other_size STREQUAL arg_SIZE AND other_sort STREQUAL arg_SORT
       AND arg_FORMAT STREQUAL "exfont" AND other_format STREQUAL "exfont")
      message(FATAL_ERROR "${where} and ${other_where} would both define "
                          "g_${arg_SORT}_font${arg_SIZE} (SORT ${arg_SORT}, SIZE ${arg_SIZE}): "
                          "two fonts of the same height and sort do not link together; give one "
                          "a NAME, or another SIZE or SORT")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY PINDOT_ADD_FONT_CALLS "${guard}")
  set_property(GLOBAL PROPERTY PINDOT_ADD_FONT_${guard}_WHERE "${where}")
  set_property(GLOBAL PROPERTY PINDOT_ADD_FONT_${guard}_GUARD "${guard}")
  set_property(GLOBAL PROPERTY PINDOT_ADD_FONT_${guard}_SORT "${arg_SORT}")
  set_property(GLOBAL PROPERTY PINDOT_ADD_FONT_${guard}_SIZE "${arg_SIZE}")
  set_property(GLOBAL PROPERTY PINDOT_ADD_FONT_${guard}_NAME "${arg_NAME}")
  set_property(GLOBAL PROPERTY PINDOT_ADD_FONT_${guard}_FORMAT "${arg_FORMAT}")

  # Rewritten only when it changes, so that make and Ninja see the options change and nothing else.
  set(manifest_path "${CMAKE_CURRENT_BINARY_DIR}/pindot-fonts/${name}.toml")
  set(old_manifest "")
  if(EXISTS "${manifest_path}")
    file(READ "${manifest_path}" old_manifest)
  endif()
  if(NOT old_manifest STREQUAL manifest)
    file(WRITE "${manifest_path}" "${manifest}")
  endif()

  set(strict)
  if(arg_STRICT)
    set(strict --strict)
  endif()
  # pindot leaves a file alone when its bytes would not change, so its time stays that of the
  # last change: the stamp tells make (and Ninja) when the font was last made, and a dependency
  # touched without a change makes it once, not at every build.
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/pindot-fonts/${name}.stamp")
  add_custom_command(
    OUTPUT "${stamp}"
    BYPRODUCTS ${outputs}
    COMMAND Pindot::pindot build ${strict} "${manifest_path}"
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    DEPENDS "${manifest_path}" ${depends} "$<TARGET_FILE:Pindot::pindot>"
    COMMENT "Making font ${name} with pindot"
    VERBATIM)
  if(arg_FORMAT STREQUAL "lvgl-bin")
    add_custom_target(${name} ALL DEPENDS "${stamp}")
    return()
  endif()
  if(arg_FORMAT STREQUAL "gfx")
    add_custom_target(${name}_header DEPENDS "${stamp}")
    add_library(${name} INTERFACE)
    add_dependencies(${name} ${name}_header)
    target_include_directories(${name} INTERFACE "${output_dir}")
    return()
  endif()
  add_library(${name} STATIC ${sources} "${stamp}")
  target_include_directories(${name} PUBLIC "${output_dir}")
  if(DEFINED arg_EXFONT_DIR)
    get_filename_component(exfont_dir "${arg_EXFONT_DIR}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    target_include_directories(${name} PUBLIC "${exfont_dir}")
  endif()
endfunction()
