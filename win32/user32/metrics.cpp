// System metrics of a 96-dpi Windows 10 desktop of 1920 x 1080 pixels.
#include <windows.h>

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN:
        case SM_CXVIRTUALSCREEN:
            return 1920;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
            return 1080;
        case SM_CYFULLSCREEN:
            return 1080 - 40 - 23;  // less the taskbar and a caption
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return 17;
        case SM_CYCAPTION:
            return 23;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYMENU:
            return 20;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 36;
        case SM_CYSMCAPTION:
            return 23;
        case SM_CXMIN:
            return 136;
        case SM_CYMIN:
            return 39;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXMINTRACK:
            return 136;
        case SM_CYMINTRACK:
            return 39;
        // A maximized window reaches past the work area by its sizing frame
        // (8 pixels) on each side; it may be sized that far over the screen.
        case SM_CXMAXIMIZED:
        case SM_CXMAXTRACK:
            return 1920 + 16;
        case SM_CYMAXIMIZED:
            return 1080 - 40 + 16;
        case SM_CYMAXTRACK:
            return 1080 + 16;
        case SM_CXPADDEDBORDER:
            return 4;
        case SM_CMONITORS:
            return 1;
        case SM_SERVERR2:
        case SM_REMOTESESSION:
            return 0;
        default:
            return 0;
    }
}
