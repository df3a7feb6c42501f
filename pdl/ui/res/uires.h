/* Identifiers of the strings in TamsheetUI's language modules. Only #define
   lines: resource scripts read this header too. */

#define IDS_DECIMAL_SAMPLE 108  /* a decimal number as the language writes it */
#define IDS_NO_WATERMARK 146    /* the name users see for "[No Watermark]" */
#define IDS_DEFAULT_FAVORITE 202 /* the name of the default settings */
#define IDS_UNTITLED 5005        /* the name of settings changed since they were chosen */
#define IDS_NEW_WATERMARK 5025   /* the name of a watermark not yet named */
