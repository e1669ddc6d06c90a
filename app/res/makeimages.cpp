// Draws the program's own pictures into PNG files: the splash picture (130,
// and 130_en with its texts in English),
// the main tool bar strip (128), the MIB tree dialog's image list (134) and
// the window icon. Run by hand when a picture changes:
//   cmake --build build --target quillon_makeimages && build/quillon_makeimages app/res
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>

namespace {

QString g_dir;

bool Save(const QImage& img, const char* name)
{
    QString path = g_dir + "/" + name;
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// A quill pen: the program's mark.
void DrawQuill(QPainter& p, QPointF tip, double len, double angleDeg, QColor vane, QColor shaft)
{
    p.save();
    p.translate(tip);
    p.rotate(angleDeg);
    QPainterPath feather;
    feather.moveTo(len * 0.18, 0);
    feather.cubicTo(len * 0.45, -len * 0.22, len * 0.85, -len * 0.20, len, -len * 0.02);
    feather.cubicTo(len * 0.80, len * 0.10, len * 0.45, len * 0.12, len * 0.18, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(vane);
    p.drawPath(feather);
    p.setPen(QPen(shaft, std::max(1.0, len / 40.0)));
    p.drawLine(QPointF(0, 0), QPointF(len * 1.02, -len * 0.02));
    p.restore();
}

QImage Splash(bool english)
{
    QImage img(480, 360, QImage::Format_RGB888);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, 360);
    bg.setColorAt(0, QColor(18, 32, 64));
    bg.setColorAt(1, QColor(36, 74, 120));
    p.fillRect(img.rect(), bg);

    // A small network: agents joined by links.
    const QPointF nodes[] = {{300, 230}, {360, 270}, {420, 220}, {390, 320}, {450, 300}, {330, 320}};
    p.setPen(QPen(QColor(120, 170, 220, 140), 1.5));
    const int links[][2] = {{0, 1}, {1, 2}, {1, 3}, {3, 4}, {2, 4}, {1, 5}};
    for (auto& l : links)
        p.drawLine(nodes[l[0]], nodes[l[1]]);
    p.setPen(Qt::NoPen);
    for (auto& n : nodes) {
        p.setBrush(QColor(170, 215, 255));
        p.drawEllipse(n, 5, 5);
    }

    // Title.
    QFont title("Noto Serif CJK JP");
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(250, 244, 225));
    // The tail of the Q reaches below the line: never clip it.
    p.drawText(QRect(150, 30, 320, 80), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, "Quillon");
    QFont sub("Noto Sans CJK JP");
    sub.setPixelSize(18);
    p.setFont(sub);
    p.setPen(QColor(200, 220, 245));
    p.drawText(QRect(154, 108, 320, 30), Qt::AlignLeft | Qt::AlignVCenter,
               english ? "SNMP Agent Monitor" : "SNMP エージェント監視ツール");
    sub.setPixelSize(13);
    p.setFont(sub);
    p.drawText(QRect(154, 140, 320, 20), Qt::AlignLeft | Qt::AlignVCenter, "Version " QUILLON_VERSION);
    p.drawText(QRect(250, 150, 220, 30), Qt::AlignRight | Qt::AlignVCenter, english ? "Loading..." : "読み込み中...");
    DrawQuill(p, QPointF(30, 150), 120, -55, QColor(250, 244, 225), QColor(150, 120, 70));

    // The owl whose eyes follow the pointer; the eyes themselves are drawn
    // by the program into the rectangle (60, 225) - (180, 315).
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 84, 52));
    p.drawEllipse(QPointF(120, 285), 108, 92);
    QPainterPath ears;
    ears.moveTo(28, 230); ears.lineTo(22, 176); ears.lineTo(70, 206); ears.closeSubpath();
    ears.moveTo(212, 230); ears.lineTo(218, 176); ears.lineTo(170, 206); ears.closeSubpath();
    p.drawPath(ears);
    p.setBrush(QColor(236, 222, 196));
    p.drawEllipse(QPointF(120, 270), 88, 68);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(56, 221, 128, 98), 18, 18);
    QPainterPath beak;
    beak.moveTo(110, 318); beak.lineTo(130, 318); beak.lineTo(120, 340); beak.closeSubpath();
    p.setBrush(QColor(230, 170, 40));
    p.drawPath(beak);
    return img;
}

// Nine 16 x 16 buttons: 32779, 32773, 32774, 32775, 59409, 59408, 59410, 59411, 57663.
QImage ToolBar()
{
    QImage img(16 * 9, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    auto at = [&](int i) { p.resetTransform(); p.translate(16 * i, 0); };
    QPen dark(QColor(40, 40, 40), 1);

    at(0);  // MIB definitions: a small tree
    p.setPen(dark);
    p.drawLine(4, 3, 4, 13); p.drawLine(4, 7, 9, 7); p.drawLine(4, 13, 9, 13);
    p.setBrush(QColor(60, 120, 200)); p.drawRect(2, 1, 4, 4);
    p.setBrush(QColor(80, 170, 80)); p.drawRect(9, 5, 5, 4); p.drawRect(9, 11, 5, 4);

    at(1);  // load: an open folder
    p.setPen(dark); p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 12, 9);
    p.setBrush(QColor(250, 225, 130));
    QPolygonF lid({QPointF(3, 7), QPointF(15, 7), QPointF(13, 13), QPointF(1, 13)});
    p.drawPolygon(lid);

    at(2);  // save: a disk
    p.setPen(dark); p.setBrush(QColor(70, 90, 160)); p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white); p.drawRect(4, 2, 7, 5);
    p.setBrush(QColor(200, 200, 200)); p.drawRect(4, 9, 7, 5);

    at(3);  // save to file: a sheet with rows and an arrow
    p.setPen(dark); p.setBrush(Qt::white); p.drawRect(2, 1, 10, 13);
    p.setPen(QColor(0, 140, 0));
    for (int y = 4; y <= 10; y += 3) p.drawLine(4, y, 10, y);
    p.setPen(QPen(QColor(200, 40, 40), 2)); p.drawLine(9, 12, 15, 12); p.drawLine(13, 10, 15, 12); p.drawLine(13, 14, 15, 12);

    at(4);  // large icons
    p.setPen(dark); p.setBrush(QColor(90, 140, 210));
    p.drawRect(1, 1, 6, 6); p.drawRect(9, 1, 6, 6); p.drawRect(1, 9, 6, 6); p.drawRect(9, 9, 6, 6);

    at(5);  // small icons
    p.setBrush(QColor(90, 140, 210));
    for (int y = 2; y < 16; y += 5) for (int x = 1; x < 16; x += 8) { p.drawRect(x, y, 3, 3); p.drawLine(x + 4, y + 1, x + 6, y + 1); }

    at(6);  // list
    for (int y = 2; y < 16; y += 4) { p.drawRect(1, y, 2, 2); p.drawLine(5, y + 1, 14, y + 1); }

    at(7);  // details
    p.setPen(dark);
    for (int y = 2; y < 16; y += 4) { p.drawRect(1, y, 2, 2); p.drawLine(5, y + 1, 8, y + 1); p.drawLine(10, y + 1, 14, y + 1); }

    at(8);  // help: a question mark in a blue disc
    p.setPen(Qt::NoPen); p.setBrush(QColor(40, 100, 200)); p.drawEllipse(1, 1, 14, 14);
    QFont f("DejaVu Sans"); f.setPixelSize(12); f.setBold(true); p.setFont(f);
    p.setPen(Qt::white); p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, "?");
    return img;
}

// Tree images: 0 a node with children (folder), 1 a leaf (document).
QImage TreeImages()
{
    QImage img(32, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    QPen dark(QColor(60, 60, 60), 1);
    p.setPen(dark); p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 13, 9); p.drawRect(1, 2, 5, 2);
    p.translate(16, 0);
    p.setBrush(Qt::white); p.drawRect(3, 1, 10, 13);
    p.setPen(QColor(60, 120, 200));
    for (int y = 4; y <= 11; y += 3) p.drawLine(5, y, 11, y);
    return img;
}

QImage AppIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(16, 16, 16);
    g.setColorAt(0, QColor(60, 110, 180));
    g.setColorAt(1, QColor(20, 40, 80));
    p.setPen(Qt::NoPen); p.setBrush(g); p.drawEllipse(0, 0, 32, 32);
    DrawQuill(p, QPointF(6, 27), 26, -50, QColor(250, 244, 225), QColor(170, 140, 90));
    return img;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    g_dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = Save(Splash(false), "130.png") && Save(Splash(true), "130_en.png") && Save(ToolBar(), "128.png") && Save(TreeImages(), "134.png") &&
              Save(AppIcon(), "IDR_MAINFRAME.png");
    return ok ? 0 : 1;
}
