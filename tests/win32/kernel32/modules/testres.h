// Ids of the test resource scripts.
#define IDS_HELLO 1
#define IDS_PRINTER 2
#define IDS_EMPTY 3
#define IDS_LAST_OF_BLOCK 15
#define IDS_FAR 100
#define IDS_ENGLISH_ONLY 101
#define IDS_MISSING_BLOCK 500

#define IDD_PLAIN 200
#define IDD_EXTENDED 201
#define IDC_NAME 1001
#define IDC_DUPLEX 1002
#define IDC_PAPER 1003

#define IDR_TABLE 300
#define IDR_CONFIG 301
#define IDR_LANGUAGES 302
#define IDR_NO_ENGLISH 303
