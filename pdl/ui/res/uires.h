/* Identifiers of the strings in TamsheetUI's language modules. Only #define
   lines: resource scripts read this header too. */

/* Letter's name, its size written with the language's decimal separator:
   the pages also read it as the language's decimal sample. */
#define IDS_PAPER_LETTER 108
#define IDS_DECIMAL_SAMPLE IDS_PAPER_LETTER
#define IDS_NO_WATERMARK 146    /* the name users see for "[No Watermark]" */
#define IDS_DEFAULT_FAVORITE 202 /* the name of the default settings */
#define IDS_UNTITLED 5005        /* the name of settings changed since they were chosen */
#define IDS_NEW_WATERMARK 5025   /* the name of a watermark not yet named */

/* Names of the driver's papers. */
#define IDS_PAPER_FOLIO 109
#define IDS_PAPER_LEGAL 110
#define IDS_PAPER_EXECUTIVE 111
#define IDS_PAPER_A4 116
#define IDS_PAPER_B5 118
#define IDS_PAPER_A5 119
#define IDS_PAPER_DL 120
#define IDS_PAPER_C5 121
#define IDS_PAPER_COM10 122
#define IDS_PAPER_MONARCH 123
#define IDS_PAPER_A6 340
#define IDS_PAPER_STATEMENT 411
#define IDS_PAPER_POSTCARD 4063
#define IDS_PAPER_BIG16K 4064
#define IDS_PAPER_16K 4065
#define IDS_PAPER_BIG32K 4067
#define IDS_PAPER_32K 4068
#define IDS_PAPER_B5_ENVELOPE 4069
#define IDS_PAPER_OFICIO 4070
#define IDS_PAPER_C6 4072
#define IDS_PAPER_ZL 4073
#define IDS_PAPER_B6_ENVELOPE 4074
#define IDS_PAPER_YOUGATA4 6001
#define IDS_PAPER_DOUBLE_POSTCARD 6002
#define IDS_PAPER_YOUNAGA3 6003
#define IDS_PAPER_NAGAGATA3 6004
#define IDS_PAPER_YOUGATA2 6005

/* Names of the paper sources. */
#define IDS_BIN_AUTO 4017
#define IDS_BIN_MANUAL 4018
#define IDS_BIN_TRAY1 4019

/* The refusal of a job whose settings this printer cannot print. */
#define IDS_QUERY_REFUSED 207
