#pragma once

#include <QColor>
#include <QString>

// Colours as the records keep them: six upper-case hexadecimal digits for
// red, green and blue, without "#".
namespace ColorText {
// Each component times 255, truncated: 0.999 gives FE.
QString fromComponents(double red, double green, double blue);
QString fromColor(const QColor &color);
// Any "#" is skipped; text that is no hexadecimal number gives black.
QColor toColor(const QString &text);
} // namespace ColorText
