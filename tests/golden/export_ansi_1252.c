#include "song7.h"

#ifndef EX_FONT_CHAR
# define EX_FONT_CHAR(value)
# define EX_FONT_UNICODE_VAL(value) (value),
# define EX_FONT_ANSI_VAL(value) (value),
#endif

struct _thin_ansi_font5x7 {unsigned short value; unsigned char data[1][7];} thin_ansi_font5x7[10] = 
{
	{
		EX_FONT_CHAR("\n")
		EX_FONT_ANSI_VAL(0x000a)
		{0x20, 0x20, 0xa0, 0xe0, 0x80, 0x00, 0x00}
	},
	{
		EX_FONT_CHAR("\r")
		EX_FONT_ANSI_VAL(0x000d)
		{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}
	},
	{
		EX_FONT_CHAR("\"")
		EX_FONT_ANSI_VAL(0x0022)
		{0xa0, 0xa0, 0x00, 0x00, 0x00, 0x00, 0x00}
	},
	{
		EX_FONT_CHAR("A")
		EX_FONT_ANSI_VAL(0x0041)
		{0x70, 0x88, 0x88, 0xf8, 0x88, 0x88, 0x00}
	},
	{
		EX_FONT_CHAR("\\")
		EX_FONT_ANSI_VAL(0x005c)
		{0x80, 0x40, 0x20, 0x10, 0x08, 0x00, 0x00}
	},
	{
		EX_FONT_CHAR("i")
		EX_FONT_ANSI_VAL(0x0069)
		{0x40, 0x00, 0xc0, 0x40, 0x40, 0xe0, 0x00}
	},
	{
		EX_FONT_CHAR("j")
		EX_FONT_ANSI_VAL(0x006a)
		{0x20, 0x00, 0x60, 0x20, 0x20, 0x20, 0xc0}
	},
	{
		EX_FONT_CHAR("x")
		EX_FONT_ANSI_VAL(0x0078)
		{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}
	},
	{
		EX_FONT_CHAR("€")
		EX_FONT_ANSI_VAL(0x0080)
		{0x38, 0x40, 0xf0, 0x40, 0xf0, 0x40, 0x38}
	},
	{
		EX_FONT_CHAR("é")
		EX_FONT_ANSI_VAL(0x00e9)
		{0x20, 0x40, 0x60, 0x90, 0xf0, 0x80, 0x70}
	}
};

struct _wide_ansi_font10x7 {unsigned short value; unsigned char data[2][7];} wide_ansi_font10x7[1] = 
{
	{
		EX_FONT_CHAR(" ")
		EX_FONT_ANSI_VAL(0x0020)
		{0x0c, 0x00, 0xff, 0x80, 0x8c, 0x80, 0x8c, 0x80, 0xff, 0x80, 0x0c, 0x00, 0x0c, 0x00}
	}
};

#undef thin_char_nr
#define thin_char_nr sizeof(thin_ansi_font5x7)/sizeof(thin_ansi_font5x7[0]) 
#undef wide_char_nr
#define wide_char_nr sizeof(wide_ansi_font10x7)/sizeof(wide_ansi_font10x7[0]) 

static EXFONT_DATA_ITEM thin_font7_items[thin_char_nr];
static EXFONT_DATA_ITEM wide_font7_items[wide_char_nr]; 
static EXFONT_DATA thin_font7; 
static EXFONT_DATA wide_font7; 
EXFONT g_ansi_font7; 

#ifndef RGB
#define RGB(r, g, b) (((r) << 16) | ((g) << 8) | (b))
#endif

void install_ansi_10x7_font(draw_pixel_func my_draw_pixel)
{
	size_t i = 0;

	for(i = 0; i < thin_char_nr; i++)
	{
		thin_font7_items[i].value = thin_ansi_font5x7[i].value;
		thin_font7_items[i].data = (unsigned char*)thin_ansi_font5x7[i].data;
	}

	for(i = 0; i < wide_char_nr; i++)
	{
		wide_font7_items[i].value = wide_ansi_font10x7[i].value;
		wide_font7_items[i].data = (unsigned char*)wide_ansi_font10x7[i].data;
	}

	EXFONT_data_init(&thin_font7, 5, 7, thin_char_nr, thin_font7_items);
	EXFONT_data_init(&wide_font7, 10, 7, wide_char_nr, wide_font7_items);

	EXFONT_init(&g_ansi_font7, "g_ansi_font7", 
		RGB(255, 0, 0), 
		RGB(0, 255, 0), 
		BKMODE_TRANSPARENT,
		my_draw_pixel);

	EXFONT_set_thin_font_data(&g_ansi_font7, &thin_font7);
	EXFONT_set_wide_font_data(&g_ansi_font7, &wide_font7);

	return;
}
