/* Identifiers shared by brisvane.rc and the C++ code. Kept free of C++ so
   windres can read it. One band per kind: menu commands 40001-40024,
   dialog controls 1000-1059. */
#ifndef BRISVANE_RESOURCE_H
#define BRISVANE_RESOURCE_H

/* Resources known by name: the .rc defines each under its macro and the code
   loads it by the same one. windres takes a quoted name as the bare one, so
   the names in the executable are the ones written here. */
#define IDI_APP_ICON "MYICON"
#define IDR_POPUP_MENU "POPMENU"
#define IDD_OPTIONS "OPTDLG"
#define IDD_HOTKEY "HOTKEYDLG"
#define IDD_WINDOW_RULES "TARGETDLG"
#define IDD_ABOUT "ABOUTDLG"

/* Template controls that the code never addresses */
#define IDC_STATIC (-1)

/* Popup menu commands (POPMENU) */
#define IDM_EXIT 40001
#define IDM_OPTIONS 40002
#define IDM_LOUPE_MODE 40004
#define IDM_POINT_INFO 40005
#define IDM_VISIBLE_SHOWN 40006
#define IDM_VISIBLE_HIDDEN 40007
#define IDM_VISIBLE_TOGGLE 40008
#define IDM_HELP 40009
#define IDM_HOTKEY 40010
#define IDM_ABOUT 40011
#define IDM_MARKER 40012
#define IDM_CLICK_THROUGH 40013
#define IDM_GRAY 40015
#define IDM_INVERT 40016
#define IDM_WINDOW_RULES 40017
#define IDM_USE_RULES 40019
#define IDM_COPY_IMAGE 40020
#define IDM_FOLLOW_CARET 40021
#define IDM_COPY_COLOUR 40022
#define IDM_PIXEL_GRID 40023
#define IDM_FREEZE 40024

/* Options dialog (OPTDLG) */
#define IDC_OPT_DISTANCE 1000
#define IDC_OPT_ANGLE 1001
#define IDC_OPT_MAGNIFY 1004
#define IDC_OPT_WIDTH 1005
#define IDC_OPT_HEIGHT 1006
#define IDC_OPT_WHEEL_STEP 1007
#define IDC_OPT_PERCENT 1008
#define IDC_OPT_LAYERED 1014
#define IDC_OPT_SNAPSHOT 1017
#define IDC_OPT_PEEP 1018
#define IDC_OPT_HEIGHT_SPIN 1028
#define IDC_OPT_DISTANCE_SPIN 1029
#define IDC_OPT_ANGLE_SPIN 1030
#define IDC_OPT_TOGGLEDEF 1031
#define IDC_OPT_WIDTH_SPIN 1032
#define IDC_OPT_MAGNIFY_SPIN 1033
#define IDC_OPT_WHEEL_STEP_SPIN 1034
#define IDC_OPT_SMOOTH 1054
#define IDC_OPT_ROUND_NORMAL 1056
#define IDC_OPT_ROUND_LOUPE 1057
#define IDC_OPT_HEXCOLOR 1059

/* Hotkey dialog (HOTKEYDLG) */
#define IDC_HOTKEY_FIELD 1035

/* Per-window settings dialog (TARGETDLG) */
#define IDC_RULE_ADD 1038
#define IDC_RULE_DELETE 1039
#define IDC_RULE_CAPTURE 1040
#define IDC_RULE_CLASS 1041
#define IDC_RULE_CHANGE 1042
#define IDC_RULE_CLEAR 1043
#define IDC_RULE_LIST 1049
#define IDC_RULE_TITLE 1051
#define IDC_RULE_TYPE 1052

/* About dialog (ABOUTDLG) */
#define IDC_ABOUT_VERSION 1036
#define IDC_ABOUT_LINK 1057
#define IDC_ABOUT_MAIL 1058

#endif
