#include "lettering.h"

#include <QFont>
#include <QPainter>

#include <map>
#include <stdexcept>

namespace art {

namespace {

QRgb blend(QRgb a, QRgb b, int num, int den)
{
    if (den <= 0)
        return a;
    auto mix = [&](int ca, int cb) { return ca + (cb - ca) * num / den; };
    return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

// Black ink on white, cropped to the ink.
QImage inkOf(const QString& text, int pixelSize)
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    QImage canvas(pixelSize * (text.size() + 2), pixelSize * 2, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(pixelSize / 2, pixelSize * 3 / 2, text);
    }
    int x0 = canvas.width(), y0 = canvas.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (qRed(canvas.pixel(x, y)) < 128) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        throw std::runtime_error("no ink for text: " + text.toStdString());
    return canvas.copy(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

const std::map<QChar, const char*>& blockGlyphs()
{
    // Rows of 5 cells, top to bottom.
    static const std::map<QChar, const char*> glyphs = {
        {'A', ".###.#...##...#######...##...##...#"},
        {'C', ".#####....#....#....#....#.....####"},
        {'E', "######....#....####.#....#....#####"},
        {'G', ".#####....#....#.####...##...#.####"},
        {'H', "#...##...##...#######...##...##...#"},
        {'I', "#####..#....#....#....#....#..#####"},
        {'N', "#...###..###..##.#.##..###..###...#"},
        {'O', ".###.#...##...##...##...##...#.###."},
        {'R', "####.#...##...#####.#.#..#..#.#...#"},
        {'S', ".#####....#.....###.....#....#####."},
        {'T', "#####..#....#....#....#....#....#.."},
        {'X', "#...##...#.#.#...#...#.#.#...##...#"},
        {' ', "..................................."},
    };
    return glyphs;
}

}  // namespace

void letter(QImage& img, const QString& text, int pixelSize, const QRect& box, QRgb top,
            QRgb bottom, QRgb shadow, bool bold)
{
    QImage ink = inkOf(text, pixelSize);
    if (bold) {
        // Thin strokes vanish at this size; doubling each stroke sideways
        // gives the weight of a bitmap font.
        QImage wide(ink.width() + 1, ink.height(), QImage::Format_RGB32);
        wide.fill(Qt::white);
        for (int j = 0; j < ink.height(); ++j)
            for (int i = 0; i < ink.width(); ++i)
                if (qRed(ink.pixel(i, j)) < 128) {
                    wide.setPixel(i, j, qRgb(0, 0, 0));
                    wide.setPixel(i + 1, j, qRgb(0, 0, 0));
                }
        ink = wide;
    }
    if (ink.width() > box.width() || ink.height() > box.height())
        throw std::runtime_error("text does not fit its place: " + text.toStdString() + " is " +
                                 std::to_string(ink.width()) + "x" + std::to_string(ink.height()));
    const int x = box.x() + (box.width() - ink.width()) / 2;
    const int y = box.y() + (box.height() - ink.height()) / 2;
    for (int pass = 0; pass < 2; ++pass)
        for (int j = 0; j < ink.height(); ++j)
            for (int i = 0; i < ink.width(); ++i) {
                if (qRed(ink.pixel(i, j)) >= 128)
                    continue;
                const int px = x + i + (pass == 0), py = y + j + (pass == 0);
                const QRgb c = pass == 0 ? shadow : blend(top, bottom, j, ink.height() - 1);
                if (img.rect().contains(px, py))
                    img.setPixel(px, py, c | 0xFF000000u);
            }
}

int blockWidth(const QString& text, int scale)
{
    return static_cast<int>(text.size()) * 6 * scale - scale;
}

void blockLetters(QImage& img, const QString& text, int x, int y, int scale, QRgb top,
                  QRgb bottom, QRgb shadow)
{
    const int h = 7 * scale;
    auto cellAt = [&](const char* g, int cx, int cy) {
        return cx >= 0 && cx < 5 && cy >= 0 && cy < 7 && g[cy * 5 + cx] == '#';
    };
    for (int pass = 0; pass < 2; ++pass) {
        int gx = x;
        for (QChar ch : text) {
            const auto found = blockGlyphs().find(ch);
            if (found == blockGlyphs().end())
                throw std::runtime_error("no block glyph for a character of " + text.toStdString());
            const char* g = found->second;
            for (int cy = 0; cy < 7; ++cy)
                for (int cx = 0; cx < 5; ++cx) {
                    if (!cellAt(g, cx, cy))
                        continue;
                    for (int j = 0; j < scale; ++j)
                        for (int i = 0; i < scale; ++i) {
                            int px = gx + cx * scale + i, py = y + cy * scale + j;
                            QRgb c;
                            if (pass == 0) {
                                px += scale / 3 + 1;
                                py += scale / 3 + 1;
                                c = shadow;
                            } else {
                                c = blend(top, bottom, cy * scale + j, h - 1);
                                // Bevel each square where it meets the outside.
                                if ((j == 0 && !cellAt(g, cx, cy - 1)) || (i == 0 && !cellAt(g, cx - 1, cy)))
                                    c = blend(c, 0xFFF0F0F0, 2, 3);
                                else if ((j == scale - 1 && !cellAt(g, cx, cy + 1)) ||
                                         (i == scale - 1 && !cellAt(g, cx + 1, cy)))
                                    c = blend(c, 0xFF000000, 2, 5);
                            }
                            if (img.rect().contains(px, py))
                                img.setPixel(px, py, c | 0xFF000000u);
                        }
                }
            gx += 6 * scale;
        }
    }
}

void tinyDigit(QImage& img, int digit, int x, int y, int scale, QRgb ink)
{
    static const char* digits[10] = {
        "####.##.##.####", ".#.##..#..#.###", "###..#####..###", "###..###..#####",
        "#.##.####..#..#", "####..###..####", "####..####.####", "###..#..#..#..#",
        "####.#####.####", "####.####..####"};
    for (int cy = 0; cy < 5; ++cy)
        for (int cx = 0; cx < 3; ++cx)
            if (digits[digit][cy * 3 + cx] == '#')
                for (int j = 0; j < scale; ++j)
                    for (int i = 0; i < scale; ++i)
                        img.setPixel(x + cx * scale + i, y + cy * scale + j, ink | 0xFF000000u);
}

}  // namespace art
