// Renders the program icon (SVG) to the PNG sizes of the desktop's icon theme, or to one
// Windows icon file holding every size.
// Usage: kestrava-icon-renderer ICON.svg OUTPUT_FOLDER NAME SIZE...
//        writes OUTPUT_FOLDER/SIZExSIZE/NAME.png for each size;
//        kestrava-icon-renderer ICON.svg FILE.ico - SIZE...
//        writes FILE.ico (one PNG-compressed image a size, as Windows reads since Vista).
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

void put16(QByteArray& out, int value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

void put32(QByteArray& out, qint64 value)
{
    put16(out, int(value & 0xFFFF));
    put16(out, int((value >> 16) & 0xFFFF));
}

// An ICONDIR, one ICONDIRENTRY a size (256 is written as 0), then the PNG images.
bool writeIco(const QString& path, const QList<int>& sizes, const QList<QByteArray>& pngs)
{
    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, int(sizes.size()));
    qint64 offset = 6 + 16 * sizes.size();
    for (int i = 0; i < sizes.size(); ++i) {
        out.append(char(sizes[i] >= 256 ? 0 : sizes[i]))
            .append(char(sizes[i] >= 256 ? 0 : sizes[i]));
        out.append(char(0)).append(char(0));  // no palette, reserved
        put16(out, 1);  // colour planes
        put16(out, 32);  // bits a pixel
        put32(out, pngs[i].size());
        put32(out, offset);
        offset += pngs[i].size();
    }
    for (const QByteArray& png : pngs)
        out.append(png);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.flush();
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fputs("usage: kestrava-icon-renderer ICON.svg OUTPUT_FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "kestrava-icon-renderer: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString target = QString::fromLocal8Bit(argv[2]);
    const bool ico = target.endsWith(QLatin1String(".ico"));
    QList<QByteArray> pngs;
    QList<int> sizes;
    const QDir output(target);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "kestrava-icon-renderer: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        if (ico) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            pngs << png;
            sizes << size;
            continue;
        }
        const QString folder = QStringLiteral("%1x%1").arg(size);
        output.mkpath(folder);
        const QString file =
            output.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "kestrava-icon-renderer: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    if (ico && !writeIco(target, sizes, pngs)) {
        std::fprintf(stderr, "kestrava-icon-renderer: cannot write %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
