/* The tests' reader of LVGL fonts: lvgl/lvgl.h's two font functions, and binary font files. */
#ifndef LVGL_TEST_DECODER_H
#define LVGL_TEST_DECODER_H

#include "lvgl/lvgl.h"

/* Null when the file is not a font this reader knows. */
const lv_font_t* lvgl_test_load_binary(const char* path);

#endif
