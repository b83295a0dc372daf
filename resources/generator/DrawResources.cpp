// Draws the clips manager's icons and splash image with QPainter, so the artwork is our own and
// can be redrawn at will. Writes PNG files into the folder given as the only argument.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>
#include <tuple>
#include <vector>

namespace {

const QColor Accent(0x3b, 0xa7, 0xe5);
const QColor AccentDark(0x1f, 0x6f, 0xa8);
const QColor Amber(0xf3, 0xa3, 0x35);
const QColor Red(0xe0, 0x52, 0x4a);
const QColor Green(0x4c, 0xc3, 0x8a);
const QColor Panel(0x2a, 0x2f, 0x37);
const QColor PanelLight(0x44, 0x4b, 0x56);
const QColor Ink(0x14, 0x17, 0x1b);

constexpr int IconSize = 64;

using Drawing = std::function<void(QPainter&)>;

bool save(const QString& folder, const QString& name, QSize size, const Drawing& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    p.end();
    const QString path = QDir(folder).filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QFont boldFont(int pixelSize)
{
    QFont f("DejaVu Sans");
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// A round badge with a glyph in its middle: the message-box icons.
void badge(QPainter& p, const QColor& colour, const QString& glyph)
{
    QRadialGradient fill(QPointF(24, 20), 44);
    fill.setColorAt(0, colour.lighter(125));
    fill.setColorAt(1, colour.darker(115));
    p.setPen(QPen(colour.darker(150), 2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(4, 4, 56, 56));
    p.setPen(Qt::white);
    p.setFont(boldFont(38));
    p.drawText(QRectF(4, 3, 56, 56), Qt::AlignCenter, glyph);
}

void warningIcon(QPainter& p)
{
    QPainterPath triangle;
    triangle.moveTo(32, 5);
    triangle.lineTo(61, 57);
    triangle.lineTo(3, 57);
    triangle.closeSubpath();
    QLinearGradient fill(0, 5, 0, 57);
    fill.setColorAt(0, Amber.lighter(120));
    fill.setColorAt(1, Amber.darker(110));
    p.setPen(QPen(Amber.darker(160), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(triangle);
    p.setPen(Ink);
    p.setFont(boldFont(34));
    p.drawText(QRectF(3, 16, 58, 42), Qt::AlignCenter, "!");
}

void errorIcon(QPainter& p)
{
    QRadialGradient fill(QPointF(24, 20), 44);
    fill.setColorAt(0, Red.lighter(125));
    fill.setColorAt(1, Red.darker(115));
    p.setPen(QPen(Red.darker(150), 2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(4, 4, 56, 56));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 22), QPointF(42, 42));
    p.drawLine(QPointF(42, 22), QPointF(22, 42));
}

// A strip of film with sprocket holes; the frame window is filled by the caller's colour.
void filmFrame(QPainter& p, const QColor& strip, const QColor& window)
{
    const QRectF body(6, 10, 52, 44);
    p.setPen(QPen(strip.darker(170), 2));
    p.setBrush(strip);
    p.drawRoundedRect(body, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    for (int i = 0; i < 5; ++i) {
        p.drawRoundedRect(QRectF(10 + i * 9.6, 13, 6, 5), 1.5, 1.5);
        p.drawRoundedRect(QRectF(10 + i * 9.6, 46, 6, 5), 1.5, 1.5);
    }
    QLinearGradient fill(0, 21, 0, 43);
    fill.setColorAt(0, window.lighter(130));
    fill.setColorAt(1, window.darker(120));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(11, 21, 42, 22), 2, 2);
}

void clipIcon(QPainter& p)
{
    filmFrame(p, QColor(0x5a, 0x62, 0x6e), Accent);
    // A small play mark: this clip can be fetched and played.
    QPainterPath play;
    play.moveTo(28, 26);
    play.lineTo(38, 32);
    play.lineTo(28, 38);
    play.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(play);
}

void clipWaitingIcon(QPainter& p)
{
    filmFrame(p, QColor(0xc8, 0xcd, 0xd4), QColor(0xee, 0xf0, 0xf3));
    p.setPen(QPen(QColor(0x7a, 0x82, 0x8e), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(32, 32), 7, 7);
    p.drawLine(QPointF(32, 32), QPointF(32, 27.5));
    p.drawLine(QPointF(32, 32), QPointF(35.5, 32));
}

// A monitor with a play triangle: opens the playback window.
void imageIcon(QPainter& p)
{
    p.setPen(QPen(PanelLight.lighter(160), 2.5));
    p.setBrush(Panel);
    p.drawRoundedRect(QRectF(5, 8, 54, 38), 4, 4);
    QLinearGradient screen(0, 12, 0, 42);
    screen.setColorAt(0, AccentDark.lighter(130));
    screen.setColorAt(1, AccentDark.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(9, 12, 46, 30));
    // Hills and sun on the screen, so it reads as a picture.
    p.setBrush(QColor(0x2c, 0x8a, 0x5c));
    QPainterPath hills;
    hills.moveTo(9, 42);
    hills.lineTo(22, 28);
    hills.lineTo(31, 36);
    hills.lineTo(40, 25);
    hills.lineTo(55, 42);
    hills.closeSubpath();
    p.drawPath(hills);
    p.setBrush(Amber);
    p.drawEllipse(QPointF(20, 19), 4, 4);
    p.setBrush(PanelLight.lighter(160));
    p.drawRect(QRectF(28, 46, 8, 6));
    p.drawRoundedRect(QRectF(18, 52, 28, 4), 2, 2);
}

void downloadIcon(QPainter& p)
{
    // Tray.
    p.setPen(QPen(PanelLight.lighter(170), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(8, 40);
    tray.lineTo(8, 55);
    tray.lineTo(56, 55);
    tray.lineTo(56, 40);
    p.drawPath(tray);
    // Arrow.
    QPainterPath arrow;
    arrow.moveTo(26, 5);
    arrow.lineTo(38, 5);
    arrow.lineTo(38, 26);
    arrow.lineTo(48, 26);
    arrow.lineTo(32, 45);
    arrow.lineTo(16, 26);
    arrow.lineTo(26, 26);
    arrow.closeSubpath();
    QLinearGradient fill(0, 5, 0, 45);
    fill.setColorAt(0, Accent.lighter(120));
    fill.setColorAt(1, AccentDark);
    p.setPen(QPen(AccentDark.darker(140), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(arrow);
}

// The recorder: a slim box with two drive bays, a status lamp and the 10G port.
void recorderIcon(QPainter& p)
{
    QLinearGradient body(0, 14, 0, 50);
    body.setColorAt(0, PanelLight);
    body.setColorAt(1, Panel.darker(120));
    p.setPen(QPen(QColor(0x0e, 0x10, 0x13), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3, 14, 58, 36), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRoundedRect(QRectF(9, 20, 22, 8), 2, 2);
    p.drawRoundedRect(QRectF(9, 34, 22, 8), 2, 2);
    p.setBrush(Accent);
    p.drawRect(QRectF(11, 23, 12, 2));
    p.drawRect(QRectF(11, 37, 12, 2));
    p.setBrush(Green);
    p.drawEllipse(QPointF(53, 22), 3, 3);
    p.setBrush(Red);
    p.drawEllipse(QPointF(45, 22), 3, 3);
    p.setBrush(Ink);
    p.drawRect(QRectF(39, 34, 16, 9));
    p.setBrush(Amber);
    p.drawRect(QRectF(42, 37, 10, 3));
}

// The program's own icon: a dark tile with a film frame and a bold V.
void appIcon(QPainter& p)
{
    QLinearGradient tile(0, 0, 64, 64);
    tile.setColorAt(0, QColor(0x2e, 0x34, 0x3d));
    tile.setColorAt(1, QColor(0x12, 0x14, 0x18));
    p.setPen(QPen(Accent, 2));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x62, 0x6e));
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(9 + i * 10, 8, 6, 5));
        p.drawRect(QRectF(9 + i * 10, 51, 6, 5));
    }
    QPainterPath v;
    v.moveTo(12, 16);
    v.lineTo(24, 16);
    v.lineTo(32, 38);
    v.lineTo(40, 16);
    v.lineTo(52, 16);
    v.lineTo(38, 48);
    v.lineTo(26, 48);
    v.closeSubpath();
    QLinearGradient fill(0, 16, 0, 48);
    fill.setColorAt(0, Accent.lighter(120));
    fill.setColorAt(1, AccentDark);
    p.setBrush(fill);
    p.drawPath(v);
}

void splash(QPainter& p, const QString& program, const QString& line)
{
    const QRectF all(0, 0, 600, 340);
    QLinearGradient back(0, 0, 600, 340);
    back.setColorAt(0, QColor(0x25, 0x2a, 0x32));
    back.setColorAt(1, QColor(0x0d, 0x0f, 0x12));
    p.fillRect(all, back);

    // Light streaks, as if frames were rushing past.
    for (int i = 0; i < 14; ++i) {
        QColor c = Accent;
        c.setAlpha(18 + (i * 7) % 30);
        p.setPen(QPen(c, 1 + i % 3));
        const qreal y = 40 + i * 19;
        p.drawLine(QPointF(260 + (i * 37) % 120, y), QPointF(600, y - 60));
    }

    // A film strip along the bottom.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1a, 0x1d, 0x22));
    p.drawRect(QRectF(0, 262, 600, 56));
    p.setBrush(QColor(0x3a, 0x40, 0x49));
    for (int x = 8; x < 600; x += 24) {
        p.drawRoundedRect(QRectF(x, 266, 12, 7), 2, 2);
        p.drawRoundedRect(QRectF(x, 307, 12, 7), 2, 2);
    }
    for (int i = 0; i < 6; ++i) {
        QLinearGradient frame(0, 277, 0, 303);
        QColor c = QColor::fromHsv((200 + i * 12) % 360, 150, 120 + i * 15);
        frame.setColorAt(0, c.lighter(130));
        frame.setColorAt(1, c.darker(130));
        p.setBrush(frame);
        p.drawRect(QRectF(10 + i * 98, 277, 90, 26));
    }

    p.save();
    p.translate(40, 60);
    p.scale(1.6, 1.6);
    appIcon(p);
    p.restore();

    p.setPen(QColor(0xe8, 0xec, 0xf1));
    p.setFont(boldFont(46));
    p.drawText(QRectF(160, 62, 430, 60), Qt::AlignLeft | Qt::AlignVCenter, "VLM Velmor");
    QFont sub("DejaVu Sans");
    sub.setPixelSize(26);
    p.setPen(Accent.lighter(115));
    p.setFont(sub);
    p.drawText(QRectF(162, 120, 430, 36), Qt::AlignLeft | Qt::AlignVCenter, program);
    QFont small("DejaVu Sans");
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(0x9a, 0xa3, 0xae));
    p.drawText(QRectF(162, 166, 430, 24), Qt::AlignLeft | Qt::AlignVCenter, line);
    p.drawText(QRectF(162, 190, 430, 24), Qt::AlignLeft | Qt::AlignVCenter, "Version 1.00.05");
}

// The control program's buttons: a glyph on a tile. Each comes in three looks: normal,
// checked (the tile lit in the button's colour) and disabled (dimmed).
enum class Look { Normal, Checked, Disabled };

void tile(QPainter& p, Look look, const QColor& lit)
{
    QLinearGradient fill(0, 4, 0, 60);
    const QColor base = look == Look::Checked ? lit : PanelLight;
    fill.setColorAt(0, base.lighter(look == Look::Disabled ? 100 : 125));
    fill.setColorAt(1, base.darker(look == Look::Disabled ? 160 : 125));
    p.setPen(QPen(look == Look::Checked ? lit.lighter(150) : QColor(0x5a, 0x62, 0x6e), 2));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 10, 10);
}

QColor ink(Look look)
{
    return look == Look::Disabled ? QColor(0x7a, 0x82, 0x8e) : QColor(0xf2, 0xf5, 0xf8);
}

using Glyph = std::function<void(QPainter&, const QColor&)>;

void strokeGlyph(QPainter& p, const QColor& colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

// An arrow head pointing up, turned clockwise by degrees.
void arrow(QPainter& p, const QColor& c, qreal degrees)
{
    p.save();
    p.translate(32, 32);
    p.rotate(degrees);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({QPointF(0, -16), QPointF(15, 10), QPointF(-15, 10)}));
    p.restore();
}

// A transport triangle of the given width starting at x, pointing right (1) or left (-1).
void triangle(QPainter& p, const QColor& c, qreal x, qreal width, int direction)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const qreal tip = x + direction * width;
    p.drawPolygon(QPolygonF({QPointF(x, 18), QPointF(tip, 32), QPointF(x, 46)}));
}

// A transport bar at x.
void bar(QPainter& p, const QColor& c, qreal x)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(x, 18, 5, 28));
}

const std::vector<std::tuple<QString, QColor, Glyph>>& controlButtons()
{
    static const std::vector<std::tuple<QString, QColor, Glyph>> buttons = {
        {"enum", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 5);
             p.drawEllipse(QPointF(28, 28), 12, 12);
             p.drawLine(QPointF(37, 37), QPointF(48, 48));
         }},
        {"config", Accent,
         [](QPainter& p, const QColor& c) {
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             for (int i = 0; i < 8; ++i) {
                 p.save();
                 p.translate(32, 32);
                 p.rotate(i * 45);
                 p.drawRect(QRectF(-4, -20, 8, 10));
                 p.restore();
             }
             strokeGlyph(p, c, 6);
             p.drawEllipse(QPointF(32, 32), 11, 11);
         }},
        {"back", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 6);
             p.drawLine(QPointF(18, 32), QPointF(46, 32));
             p.drawPolyline(QPolygonF({QPointF(30, 20), QPointF(18, 32), QPointF(30, 44)}));
         }},
        {"rec", Red,
         [](QPainter& p, const QColor& c) {
             p.setPen(QPen(c, 3));
             p.setBrush(c == ink(Look::Disabled) ? c : Red);
             p.drawEllipse(QPointF(32, 32), 14, 14);
         }},
        {"fwupg", Amber,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3);
             p.drawRoundedRect(QRectF(16, 24, 32, 24), 3, 3);
             for (int x = 20; x <= 44; x += 8) {
                 p.drawLine(QPointF(x, 48), QPointF(x, 53));
             }
             strokeGlyph(p, c, 4);
             p.drawLine(QPointF(32, 42), QPointF(32, 11));
             p.drawPolyline(QPolygonF({QPointF(24, 19), QPointF(32, 11), QPointF(40, 19)}));
         }},
        {"info", Accent,
         [](QPainter& p, const QColor& c) {
             p.setPen(c);
             p.setFont(boldFont(36));
             p.drawText(QRectF(3, 3, 58, 58), Qt::AlignCenter, "i");
         }},
        {"prev_rec", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 6);
             p.drawPolyline(QPolygonF({QPointF(38, 18), QPointF(24, 32), QPointF(38, 46)}));
         }},
        {"next_rec", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 6);
             p.drawPolyline(QPolygonF({QPointF(26, 18), QPointF(40, 32), QPointF(26, 46)}));
         }},
        {"opt_rec", Red,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3.5);
             p.drawRoundedRect(QRectF(12, 22, 30, 22), 4, 4);
             p.drawPolygon(QPolygonF({QPointF(42, 29), QPointF(52, 23), QPointF(52, 43), QPointF(42, 37)}));
             p.setBrush(c);
             p.drawEllipse(QPointF(20, 29), 2.5, 2.5);
         }},
        {"opt_clip", Green,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3.5);
             p.drawRoundedRect(QRectF(12, 16, 40, 32), 4, 4);
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawPolygon(QPolygonF({QPointF(27, 24), QPointF(40, 32), QPointF(27, 40)}));
         }},
        {"cfg_cam", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3.5);
             p.drawRoundedRect(QRectF(12, 22, 40, 26), 4, 4);
             p.drawRect(QRectF(22, 16, 12, 6));
             p.drawEllipse(QPointF(32, 35), 7, 7);
         }},
        {"cfg_paint", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3);
             p.drawEllipse(QPointF(32, 25), 10, 10);
             p.drawEllipse(QPointF(25, 38), 10, 10);
             p.drawEllipse(QPointF(39, 38), 10, 10);
         }},
        {"cfg_sync", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3.5);
             p.drawPolyline(QPolygonF({QPointF(12, 40), QPointF(20, 40), QPointF(20, 24), QPointF(32, 24),
                                       QPointF(32, 40), QPointF(44, 40), QPointF(44, 24), QPointF(52, 24)}));
         }},
        {"cfg_lens", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 3.5);
             p.drawEllipse(QPointF(32, 32), 17, 17);
             p.drawEllipse(QPointF(32, 32), 8, 8);
             p.drawLine(QPointF(32, 15), QPointF(32, 24));
             p.drawLine(QPointF(32, 40), QPointF(32, 49));
         }},
        {"lens_up", Accent, [](QPainter& p, const QColor& c) { arrow(p, c, 0); }},
        {"lens_next", Accent, [](QPainter& p, const QColor& c) { arrow(p, c, 90); }},
        {"lens_down", Accent, [](QPainter& p, const QColor& c) { arrow(p, c, 180); }},
        {"lens_prev", Accent, [](QPainter& p, const QColor& c) { arrow(p, c, 270); }},
        {"clp_left", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 5);
             p.drawPolyline(QPolygonF({QPointF(30, 18), QPointF(18, 32), QPointF(30, 46)}));
             p.drawPolyline(QPolygonF({QPointF(44, 18), QPointF(32, 32), QPointF(44, 46)}));
         }},
        {"clp_right", Accent,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 5);
             p.drawPolyline(QPolygonF({QPointF(20, 18), QPointF(32, 32), QPointF(20, 46)}));
             p.drawPolyline(QPolygonF({QPointF(34, 18), QPointF(46, 32), QPointF(34, 46)}));
         }},
        {"pb_first", Green,
         [](QPainter& p, const QColor& c) {
             bar(p, c, 16);
             triangle(p, c, 46, 20, -1);
         }},
        {"pb_prev", Green,
         [](QPainter& p, const QColor& c) {
             bar(p, c, 22);
             triangle(p, c, 42, 14, -1);
         }},
        {"pb_rew", Green,
         [](QPainter& p, const QColor& c) {
             triangle(p, c, 32, 14, -1);
             triangle(p, c, 48, 14, -1);
         }},
        {"pb_pause", Green,
         [](QPainter& p, const QColor& c) {
             bar(p, c, 24);
             bar(p, c, 36);
         }},
        {"pb_ff", Green,
         [](QPainter& p, const QColor& c) {
             triangle(p, c, 16, 14, 1);
             triangle(p, c, 32, 14, 1);
         }},
        {"pb_next", Green,
         [](QPainter& p, const QColor& c) {
             triangle(p, c, 22, 14, 1);
             bar(p, c, 38);
         }},
        {"pb_last", Green,
         [](QPainter& p, const QColor& c) {
             triangle(p, c, 18, 20, 1);
             bar(p, c, 44);
         }},
        {"pb_loop", Green,
         [](QPainter& p, const QColor& c) {
             strokeGlyph(p, c, 4);
             p.drawArc(QRectF(16, 16, 32, 32), 30 * 16, 300 * 16);
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawPolygon(QPolygonF({QPointF(40, 12), QPointF(50, 22), QPointF(38, 26)}));
         }},
        {"pb_spd_half", Green,
         [](QPainter& p, const QColor& c) {
             p.setPen(c);
             p.setFont(boldFont(28));
             p.drawText(QRectF(3, 3, 58, 58), Qt::AlignCenter, "½");
         }},
        {"pb_spd_dbl", Green,
         [](QPainter& p, const QColor& c) {
             p.setPen(c);
             p.setFont(boldFont(28));
             p.drawText(QRectF(3, 3, 58, 58), Qt::AlignCenter, "x2");
         }},
    };
    return buttons;
}

bool saveControlButtons(const QString& out)
{
    bool ok = true;
    const QSize icon(IconSize, IconSize);
    for (const auto& [name, lit, glyph] : controlButtons()) {
        for (const auto& [look, suffix] :
             {std::pair{Look::Normal, ""}, std::pair{Look::Checked, "_chk"}, std::pair{Look::Disabled, "_dsb"}}) {
            const Look l = look;
            const Glyph& g = glyph;
            const QColor colour = lit;
            ok &= save(out, name + suffix + ".png", icon, [&](QPainter& p) {
                tile(p, l, colour);
                g(p, ink(l));
            });
        }
    }

// --- the playback window's buttons: light glyphs on the dark buttons; the trim ones in the
// cyan of the slider's trim bar ---

const QColor GlyphInk(0xe8, 0xec, 0xf1);
const QColor Trim(0x2f, 0xd8, 0xe0);

void fillPath(QPainter& p, const QPainterPath& path, const QColor& colour)
{
    p.setPen(QPen(colour.darker(160), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(path);
}

// A triangle pointing right (or left) with its tip at x, height h around y = 32.
QPainterPath triangle(qreal x, qreal h, bool right)
{
    const qreal w = h * 0.87;
    QPainterPath t;
    t.moveTo(x, 32);
    t.lineTo(right ? x - w : x + w, 32 - h / 2);
    t.lineTo(right ? x - w : x + w, 32 + h / 2);
    t.closeSubpath();
    return t;
}

QPainterPath bar(qreal x, qreal width, qreal h)
{
    QPainterPath b;
    b.addRoundedRect(QRectF(x, 32 - h / 2, width, h), 2, 2);
    return b;
}

void playIcon(QPainter& p, bool forward)
{
    fillPath(p, triangle(forward ? 50 : 14, 40, forward), Green);
}

void stopIcon(QPainter& p)
{
    QPainterPath square;
    square.addRoundedRect(QRectF(16, 16, 32, 32), 4, 4);
    fillPath(p, square, GlyphInk);
}

// One frame on: a small triangle against a bar.
void stepIcon(QPainter& p, bool forward)
{
    fillPath(p, forward ? triangle(52, 30, true) : triangle(12, 30, false), GlyphInk);
    fillPath(p, bar(forward ? 14 : 44, 7, 30), GlyphInk);
}

// A square bracket of the trim range, opening right (lower) or left (upper), centred on x.
QPainterPath bracket(qreal x, bool lower)
{
    const qreal arm = lower ? 10 : -10;
    QPainterPath b;
    b.moveTo(x + arm, 12);
    b.lineTo(x, 12);
    b.lineTo(x, 52);
    b.lineTo(x + arm, 52);
    return b;
}

void strokeBracket(QPainter& p, const QPainterPath& path)
{
    p.setPen(QPen(Trim, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

// Jump to a trim point: a double triangle running into its bracket.
void gotoIcon(QPainter& p, bool lower)
{
    strokeBracket(p, bracket(lower ? 12 : 52, lower));
    const qreal tip = lower ? 20 : 44;
    fillPath(p, triangle(tip, 22, !lower), GlyphInk);
    fillPath(p, triangle(lower ? tip + 16 : tip - 16, 22, !lower), GlyphInk);
}

// Set a trim point at the slider's frame: the bracket over a marker pointing down at it.
void trimIcon(QPainter& p, bool lower)
{
    strokeBracket(p, bracket(lower ? 24 : 40, lower));
    QPainterPath marker;
    const qreal x = lower ? 24 : 40;
    marker.moveTo(x - 8, 2);
    marker.lineTo(x + 8, 2);
    marker.lineTo(x, 10);
    marker.closeSubpath();
    fillPath(p, marker, GlyphInk);
    p.setPen(QPen(GlyphInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 60), QPointF(56, 60));
}

// The whole clip again: both brackets wide apart around a circling arrow.
void trimResetIcon(QPainter& p)
{
    strokeBracket(p, bracket(8, true));
    strokeBracket(p, bracket(56, false));
    p.setPen(QPen(GlyphInk, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(20, 20, 24, 24), 60 * 16, 280 * 16);
    QPainterPath head;
    head.moveTo(40, 14);
    head.lineTo(44, 26);
    head.lineTo(32, 23);
    head.closeSubpath();
    fillPath(p, head, GlyphInk);
}

// A painter's palette with four dabs of colour.
void paintIcon(QPainter& p)
{
    QPainterPath palette;
    palette.addEllipse(QRectF(5, 10, 54, 44));
    QPainterPath thumb;
    thumb.addEllipse(QRectF(34, 36, 12, 10));
    fillPath(p, palette.subtracted(thumb), QColor(0xc8, 0xa0, 0x6e));
    const QColor dabs[] = {Red, Green, Accent, Amber};
    const QPointF at[] = {{20, 24}, {33, 19}, {46, 25}, {17, 39}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(dabs[i]);
        p.drawEllipse(at[i], 5.5, 5.5);
    }
}

// A film frame with an arrow leaving it: the clip goes out to a file.
void exportIcon(QPainter& p)
{
    filmFrame(p, QColor(0x5a, 0x62, 0x6e), Accent);
    QPainterPath arrow;
    arrow.moveTo(26, 28);
    arrow.lineTo(44, 28);
    arrow.lineTo(44, 20);
    arrow.lineTo(60, 32);
    arrow.lineTo(44, 44);
    arrow.lineTo(44, 36);
    arrow.lineTo(26, 36);
    arrow.closeSubpath();
    fillPath(p, arrow, Amber);
}

// The style sheet's spin box arrows: a small light triangle pointing up or down.
void spinArrow(QPainter& p, bool up)
{
    QPainterPath t;
    t.moveTo(1, up ? 7 : 1);
    t.lineTo(11, up ? 7 : 1);
    t.lineTo(6, up ? 1 : 7);
    t.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Glyph);
    p.drawPath(t);
}

bool savePlaybackIcons(const QString& out, QSize icon)
{
    const QString folder = QDir(out).filePath("playback");
    QDir().mkpath(folder);
    bool ok = true;
    ok &= save(folder, "play.png", icon, [](QPainter& p) { playIcon(p, true); });
    ok &= save(folder, "play-reverse.png", icon, [](QPainter& p) { playIcon(p, false); });
    ok &= save(folder, "stop.png", icon, stopIcon);
    ok &= save(folder, "step-back.png", icon, [](QPainter& p) { stepIcon(p, false); });
    ok &= save(folder, "step-forward.png", icon, [](QPainter& p) { stepIcon(p, true); });
    ok &= save(folder, "goto-lower.png", icon, [](QPainter& p) { gotoIcon(p, true); });
    ok &= save(folder, "goto-upper.png", icon, [](QPainter& p) { gotoIcon(p, false); });
    ok &= save(folder, "trim-lower.png", icon, [](QPainter& p) { trimIcon(p, true); });
    ok &= save(folder, "trim-upper.png", icon, [](QPainter& p) { trimIcon(p, false); });
    ok &= save(folder, "trim-reset.png", icon, trimResetIcon);
    ok &= save(folder, "paint.png", icon, paintIcon);
    ok &= save(folder, "export.png", icon, exportIcon);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QSize icon(IconSize, IconSize);
    bool ok = true;
    ok &= save(out, "ico-wrn.png", icon, warningIcon);
    ok &= save(out, "ico-inf.png", icon, [](QPainter& p) { badge(p, Accent, "i"); });
    ok &= save(out, "ico-qstn.png", icon, [](QPainter& p) { badge(p, QColor(0x2b, 0x9e, 0x9a), "?"); });
    ok &= save(out, "ico-err.png", icon, errorIcon);
    ok &= save(out, "vlmclip.png", icon, appIcon);
    ok &= save(out, "vlmvel.png", icon, recorderIcon);
    ok &= save(out, "clip.png", icon, clipIcon);
    ok &= save(out, "clipw.png", icon, clipWaitingIcon);
    ok &= save(out, "image.png", icon, imageIcon);
    ok &= save(out, "download.png", icon, downloadIcon);
    ok &= save(out, "splash.png", QSize(600, 340), [](QPainter& p) {
        splash(p, "Clips Manager", "High-frame-rate raw video: find, download, play back, export");
    });
    ok &= save(out, "control-splash.png", QSize(600, 340),
               [](QPainter& p) { splash(p, "Control", "Record, play back and set up recorders on the network"); });
    ok &= saveControlButtons(out);
    ok &= savePlaybackIcons(out, icon);
    ok &= save(out, "arrow-up.png", QSize(12, 8), [](QPainter& p) { spinArrow(p, true); });
    ok &= save(out, "arrow-down.png", QSize(12, 8), [](QPainter& p) { spinArrow(p, false); });
    return ok ? 0 : 1;
}
