#include "store/ColorText.h"

#include <algorithm>

namespace {
// The tiny allowance keeps k/255 from landing just below k after rounding.
int truncatedByte(double component)
{
    return std::clamp(int(component * 255.0 + 1e-9), 0, 255);
}
} // namespace

namespace ColorText {

QString fromComponents(double red, double green, double blue)
{
    return QString::asprintf("%02X%02X%02X", truncatedByte(red), truncatedByte(green), truncatedByte(blue));
}

QString fromColor(const QColor &color)
{
    // Integer arithmetic on QColor's 16-bit channels truncates exactly.
    const QRgba64 rgb = color.toRgb().rgba64();
    return QString::asprintf("%02X%02X%02X", rgb.red() / 257, rgb.green() / 257, rgb.blue() / 257);
}

QColor toColor(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char('#'));
    bool ok = false;
    const quint64 value = digits.toULongLong(&ok, 16);
    if (!ok)
        return QColor(0, 0, 0);
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

} // namespace ColorText
