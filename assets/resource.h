// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_APP 1

#define IDB_SKIN_MAIN 101

#define IDB_PLAY_CN_UP 110
#define IDB_PLAY_CN_HOT 111
#define IDB_OPTION_CN_UP 112
#define IDB_OPTION_CN_HOT 113
#define IDB_EXIT_CN_UP 114
#define IDB_EXIT_CN_HOT 115
#define IDB_PLAY_EN_UP 116
#define IDB_PLAY_EN_HOT 117
#define IDB_OPTION_EN_UP 118
#define IDB_OPTION_EN_HOT 119
#define IDB_EXIT_EN_UP 120
#define IDB_EXIT_EN_HOT 121

#define IDB_MIN_UP 130
#define IDB_MIN_HOT 131
#define IDB_CLOSE_UP 132
#define IDB_CLOSE_HOT 133

#define IDB_SKIN_OPTION 140
#define IDB_OPT_CLOSE_UP 141
#define IDB_OPT_CLOSE_HOT 142
