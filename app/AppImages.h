// Images compiled into velmora (XPM data, usable as QPixmap(name)).
#pragma once

extern const char* const filenew_xpm[];
extern const char* const fileopen_xpm[];
extern const char* const make_xpm[];
extern const char* const filesave_xpm[];
extern const char* const undo_xpm[];
extern const char* const append_xpm[];
extern const char* const insert_xpm[];
extern const char* const delete_xpm[];
extern const char* const record_xpm[];
extern const char* const stop_xpm[];
extern const char* const resum_xpm[];
extern const char* const play_xpm[];
extern const char* const rewind_xpm[];
extern const char* const forward_xpm[];
extern const char* const selection_xpm[];
extern const char* const line_xpm[];
extern const char* const rect_xpm[];
extern const char* const ellipse_xpm[];
extern const char* const round_rect[];
extern const char* const polyline_xpm[];
extern const char* const bitmap_xpm[];
extern const char* const textfield_xpm[];
extern const char* const instructionbox_xpm[];
extern const char* const validationfield_xpm[];
extern const char* const hyperlink_xpm[];
extern const char* const velmora_icon_xpm[];
extern const char* const no_user_action_xpm[];
extern const char* const key_click_xpm[];
extern const char* const right_click_xpm[];
extern const char* const left_click_xpm[];
