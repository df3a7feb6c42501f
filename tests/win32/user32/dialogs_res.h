// Ids of the user32 test program's dialog templates (testres_user32.rc).
#define IDD_SETTINGS 400
#define IDD_PLAIN_NOFONT 401
#define IDD_COPIED_CLASS 402
#define IDD_MISSING_CLASS 403
#define IDD_MISSING_CLASS_NOFAIL 404
#define IDD_PAGE_HOST 405
#define IDD_PAGE 406

#define IDC_LABEL 1100
#define IDC_USERNAME 1101
#define IDC_PORTRAIT 1102
#define IDC_LANDSCAPE 1103
#define IDC_SEPIA 1104
#define IDC_HIDDEN 1105
#define IDC_APPLY 1106
#define IDC_COPIES 1107
#define IDC_PAGE_EDIT 1108
#define IDC_ICON_STATIC 1109
