#ifndef KV_SONG7_H
#define KV_SONG7_H

#include "ExFont.h"

#ifdef __cplusplus
extern "C" {
#endif

extern EXFONT g_ansi_font7;
void install_ansi_10x7_font(draw_pixel_func my_draw_pixel);

#ifdef __cplusplus
};
#endif

#endif//KV_SONG7_H
