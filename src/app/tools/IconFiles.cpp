// Writes the application icon files a desktop installs, from the shapes the
// tray icon is drawn with: IconFiles <folder> writes
// <folder>/scalable/apps/org.brimble.Brimble.svg,
// <folder>/<N>x<N>/apps/org.brimble.Brimble.png for the usual sizes, and the
// monochrome <folder>/symbolic/apps/org.brimble.Brimble-symbolic.svg that
// GNOME's and KDE Plasma's trays recolour to suit their panels.

#include "app/TrayIconImage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int scalableSide = 256;
// Symbolic icons are drawn on a 16-pixel grid.
constexpr int symbolicSide = 16;
// The colour GTK's symbolic icons are drawn in; hosts put the panel's text colour in its place.
constexpr char symbolicColor[] = "#2e3436";

QString number(qreal value)
{
    return QString::number(value, 'f', 2);
}

QString svgPath(const QPainterPath &path)
{
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isMoveTo()) {
            if (i > 0)
                data += QStringLiteral("Z ");
            data += QStringLiteral("M%1 %2 ").arg(number(element.x), number(element.y));
        } else if (element.isLineTo()) {
            data += QStringLiteral("L%1 %2 ").arg(number(element.x), number(element.y));
        } else if (element.isCurveTo()) {
            const QPainterPath::Element second = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                        .arg(number(element.x), number(element.y), number(second.x), number(second.y), number(end.x),
                             number(end.y));
            i += 2;
        }
    }
    return data + u'Z';
}

QString svg()
{
    const BrimbleIconShapes shapes = brimbleIconShapes(QRectF(0, 0, scalableSide, scalableSide));
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
               "  <path fill=\"%2\" d=\"%3\"/>\n"
               "  <circle fill=\"#ffffff\" fill-opacity=\"%4\" cx=\"%5\" cy=\"%6\" r=\"%7\"/>\n"
               "</svg>\n")
        .arg(QString::number(scalableSide), BrimbleIconShapes::ribbonColor.name(), svgPath(shapes.ribbon),
             number(BrimbleIconShapes::holeColor.alphaF()), number(shapes.holeCentre.x()),
             number(shapes.holeCentre.y()), number(shapes.holeRadius));
}

// One shape in one colour, the hole cut out of the ribbon. GTK draws it in
// the panel's colour whatever its fill; KDE Plasma replaces the colour of
// the "current-color-scheme" style sheet, which the fill follows.
QString symbolicSvg()
{
    const BrimbleIconShapes shapes = brimbleIconShapes(QRectF(0, 0, symbolicSide, symbolicSide));
    QPainterPath shape = shapes.ribbon;
    shape.addEllipse(shapes.holeCentre, shapes.holeRadius, shapes.holeRadius);
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
               "  <style id=\"current-color-scheme\" type=\"text/css\">"
               ".ColorScheme-Text { color: %2; }</style>\n"
               "  <path class=\"ColorScheme-Text\" fill=\"currentColor\" fill-rule=\"evenodd\" d=\"%3\"/>\n"
               "</svg>\n")
        .arg(QString::number(symbolicSide), QLatin1String(symbolicColor), svgPath(shape));
}

bool write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: IconFiles <folder>\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!write(out.filePath(QStringLiteral("scalable/apps/%1.svg").arg(QLatin1String(brimbleIconName))), svg().toUtf8())
        || !write(out.filePath(QStringLiteral("symbolic/apps/%1.svg").arg(QLatin1String(brimbleSymbolicIconName))),
                  symbolicSvg().toUtf8()))
        return 1;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintBrimbleIcon(painter, QRectF(0, 0, side, side));
        painter.end();
        const QString path = out.filePath(
            QStringLiteral("%1x%1/apps/%2.png").arg(side).arg(QLatin1String(brimbleIconName)));
        QDir().mkpath(QFileInfo(path).path());
        if (!image.save(path, "PNG"))
            return 1;
    }
    return 0;
}
