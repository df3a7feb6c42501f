// Fixed-point trigonometry for text escapement and path directions: angles
// in tenths of a degree (3600 a full turn), sines in units of 1/16384.
#pragma once
#include <windows.h>

#define FX_ONE 16384        // 1.0 in sine units
#define FX_FULL_TURN 3600   // tenths of a degree

// round(tan(i degrees) x 10000) for i = 0..45, then the scale 10000 and
// the shift 14.
extern const INT32 g_FxTangent[48];
// round(sin(i degrees) x 16384) for i = 0..90.
extern const INT32 g_FxSine[91];

// Sine of `angle` (tenths of a degree, any sign) in units of 1/16384,
// interpolated linearly between whole degrees.
int Fx_Sin(int angle);
// Fx_Sin(angle + 900).
int Fx_Cos(int angle);
// value x factor / 16384, shifted arithmetically; exact for 0 and 16384.
int Fx_Mul(int value, int factor);
// The x part of `value` turned by `angle`: Fx_Mul(value, Fx_Cos(angle)).
int Fx_RotateX(int angle, int value);
// The y part of `value` turned by `angle` in device space (y grows down):
// Fx_Mul(value, Fx_Sin(-angle)).
int Fx_RotateY(int angle, int value);
// Direction of the vector (x, y), 0 to 3600 tenths of a degree, counted
// from the x axis toward y. The vector (0, 0) has no direction: it gives 0.
int Fx_Atan(int x, int y);
