// Tree pictures of the resource editor dialog (XPM data, usable as QPixmap(name)).
#pragma once

extern const char* const res_xpm[];
extern const char* const image1_xpm[];
extern const char* const audio_xpm[];
extern const char* const video_xpm[];
extern const char* const icon_xpm[];
extern const char* const cursor_xpm[];
extern const char* const icon1_xpm[];
extern const char* const def_ico_xpm[];
extern const char* const jpeg_xpm[];
extern const char* const picture_xpm[];
extern const char* const gif_xpm[];
extern const char* const wav_xpm[];
extern const char* const mp3_xpm[];
extern const char* const cursors_xpm[];
extern const char* const icon2_xpm[];
extern const char* const mpeg_xpm[];
extern const char* const video1_xpm[];
extern const char* const ic_xpm[];
extern const char* const cursor1_xpm[];
