// Fixed-point trigonometry over two small tables, so that text and path
// output give the same angles on every machine.
#include <windows.h>

#include "pcl6/gdi/fxmath.h"

const INT32 g_FxTangent[48] = {
    0,    175,  349,  524,  699,  875,  1051, 1228, 1405, 1584, 1763, 1944, 2126, 2309, 2493, 2679,
    2867, 3057, 3249, 3443, 3640, 3839, 4040, 4245, 4452, 4663, 4877, 5095, 5317, 5543, 5774, 6009,
    6249, 6494, 6745, 7002, 7265, 7536, 7813, 8098, 8391, 8693, 9004, 9325, 9657, 10000,
    10000,  // the scale of the entries
    14,     // the shift of the sine unit
};

const INT32 g_FxSine[91] = {
    0,     286,   572,   857,   1143,  1428,  1713,  1997,  2280,  2563,  2845,  3126,  3406,  3686,
    3964,  4240,  4516,  4790,  5063,  5334,  5604,  5872,  6138,  6402,  6664,  6924,  7182,  7438,
    7692,  7943,  8192,  8438,  8682,  8923,  9162,  9397,  9630,  9860,  10087, 10311, 10531, 10749,
    10963, 11174, 11381, 11585, 11786, 11982, 12176, 12365, 12551, 12733, 12911, 13085, 13255, 13421,
    13583, 13741, 13894, 14044, 14189, 14330, 14466, 14598, 14726, 14849, 14968, 15082, 15191, 15296,
    15396, 15491, 15582, 15668, 15749, 15826, 15897, 15964, 16026, 16083, 16135, 16182, 16225, 16262,
    16294, 16322, 16344, 16362, 16374, 16382, 16384,
};

int Fx_Sin(int angle) {
    int a = angle % FX_FULL_TURN;
    if (a < 0) a += FX_FULL_TURN;
    bool negative = false;
    if (a >= 1800) {
        negative = true;
        a -= 1800;
    }
    if (a > 900) a = 1800 - a;
    const int q = a / 10;
    const int r = a % 10;
    int result = g_FxSine[q];
    if (r != 0) result += (g_FxSine[q + 1] - g_FxSine[q]) * r / 10;
    return negative ? -result : result;
}

int Fx_Cos(int angle) {
    // Reduce first so that the quarter-turn added cannot overflow.
    return Fx_Sin(angle % FX_FULL_TURN + 900);
}

int Fx_Mul(int value, int factor) {
    if (factor == 0) return 0;
    if (factor == FX_ONE) return value;
    // The product is formed in 64 bits: a 32-bit one overflows for values
    // beyond +-131071, which text and path coordinates can reach.
    return int((LONGLONG(value) * factor) >> 14);
}

int Fx_RotateX(int angle, int value) { return Fx_Mul(value, Fx_Cos(angle)); }

int Fx_RotateY(int angle, int value) { return Fx_Mul(value, Fx_Sin(-(angle % FX_FULL_TURN))); }

int Fx_Atan(int x, int y) {
    const LONGLONG ax = x < 0 ? -LONGLONG(x) : LONGLONG(x);
    const LONGLONG ay = y < 0 ? -LONGLONG(y) : LONGLONG(y);
    const LONGLONG larger = ax > ay ? ax : ay;
    const LONGLONG smaller = ax > ay ? ay : ax;
    if (larger == 0) return 0;
    const int c = int(10000 * smaller / larger);

    int i = 0;
    while (i < 44 && c > g_FxTangent[i + 1]) ++i;
    int d = 10 * i;
    if (d < 450 && c > g_FxTangent[i]) {
        const int e = g_FxTangent[i];
        const int f = g_FxTangent[i + 1];
        if (c == f)
            d += 10;
        else
            d += ((f - e + 1) / 2 + (c - e) * 10) / (f - e);  // rounded interpolation
    }
    if (ay > ax) d = 900 - d;
    if (x < 0) d = 1800 - d;
    if (y < 0) d = 3600 - d;
    return d;
}
