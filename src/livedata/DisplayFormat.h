#pragma once

#include "unitlink/DataFormat.h"

#include <QString>
#include <QStringView>

namespace tarquel {

// Texts of the live display.
//
// Channel values follow numeric picture rules: a fixed number of digits before and after the
// decimal point (zeros shown), rounding half away from zero on the value's decimal form (15
// significant digits, so 0.25 shows as 0.3 and 2.675 as 2.68 at two decimals), more integer digits
// when the value needs them, then the unit. A picture with a negative section ("+000 mg;-000 mg")
// shows every negative value with the minus sign, also one that rounds to zero (-0.4 gives
// "-000 mg"); a picture without one puts "-" in front.
//
//   slots 0-2 (Hx, Hy, V)         "+000 mg;-000 mg"     12.4 -> "+012 mg", -3.7 -> "-004 mg"
//   slots 3-4 (X, Y inclination)  "+00.0 dg;-00.0 dg"   5.26 -> "+05.3 dg"
//   slots 5-6 (calc, unit heading) "000.0 dg"           7.5  -> "007.5 dg"
QString FormatChannelValue(int slot, double value);

// A number in a fixed picture: at least minInteger integer digits (zeros shown), the point and
// decimals digits, rounded half away from zero as the channel values are; a negative value gets
// "-" in front. ("#0.0": FormatFixed(-50, 1, 1) -> "-50.0"; "000.0": FormatFixed(7.5, 3, 1) ->
// "007.5").
QString FormatFixed(double value, int minInteger, int decimals);

// The number in its shortest general form: up to 15 significant digits, no trailing zeros
// (90.2, -215, 0.57, 2).
QString GeneralNumber(double value);

// The frame count in the form "0.00######e-00#": a mantissa with two to eight decimals and an
// exponent of at least two digits (1 -> "1.00e00", 1234 -> "1.234e03",
// 12345678 -> "1.2345678e07"). For counts 0 to 999999999.
QString FormatFrameCount(qint32 count);

// The frame rate of frames that carry length characters (header to end of frame). The unit sends
// in cycles of 1/71.11 s of 13.5002 characters each; a frame takes whole cycles. In decimal and
// binary format the carriage return adds one character. Rounded to one decimal. Throws
// OverflowError when the length with its carriage return exceeds 32767.
double FrameRateFor(int length, DataFormat format);

// "<rate> Frames/Sec" with the rate as a plain decimal number: 71.1, 35.6, 8.
QString FrameRateCaption(double rate);

// The number at the start of a text: optional sign, digits, optional decimal point and digits,
// up to the first other character; 0 when there is none ("17.8 Frames/Sec" -> 17.8).
double LeadingNumber(QStringView text);

}  // namespace tarquel
