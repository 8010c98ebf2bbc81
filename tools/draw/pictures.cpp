#include "pictures.h"

#include "figures.h"
#include "glyphs.h"
#include "lettering.h"

#include <QPainter>

#include <cstdint>

namespace art {

namespace {

constexpr QRgb kRed = 0xFFE02818;
constexpr QRgb kDarkRed = 0xFF5C0808;

// The 12 x 12 bomb of one kind with its spark in corner f (0 top right,
// then clockwise), or with no spark for f < 0.
QImage bombIconImage(int kind, int f)
{
    QImage icon(kIcon, kIcon, QImage::Format_RGB32);
    icon.fill(kBlack);
    paint(icon, bombIcon(kind), 0, 0);
    static const int cx[4] = {10, 10, 1, 1};
    static const int cy[4] = {1, 10, 10, 1};
    if (f >= 0)
        paint(icon, spark(), cx[f] - 1, cy[f] - 1);
    return icon;
}

// The same icon with its kind's mark over the body.
QImage markedIconImage(int kind, int f)
{
    QImage icon = bombIconImage(kind, f);
    const Grid& mark = bombMark(kind);
    for (int y = 0; y < kIcon; ++y)
        for (int x = 0; x < kIcon; ++x)
            if (mark.rows[y][x] != '.' && icon.pixel(x, y) != kBlack)
                icon.setPixel(x, y, colour(mark.rows[y][x]));
    return icon;
}

bool insideDisc(int x, int y)
{
    // Slightly smaller than the 12 x 12 icon: a radius of five.
    const int dx = 2 * x - 11, dy = 2 * y - 11;
    return dx * dx + dy * dy <= 100;
}

void fillRect(QImage& img, int x, int y, int w, int h, QRgb c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (img.rect().contains(i, j))
                img.setPixel(i, j, c);
}

void blit(QImage& dst, const QImage& src, int x, int y)
{
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(x, y, src);
}

// The mask method of the game: mask ORed, then the figure ANDed.
void blitMasked(QImage& dst, const QImage& sheet, int x, int y, int sx, int sy, int w, int h)
{
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!dst.rect().contains(x + i, y + j) || !sheet.rect().contains(sx + i, sy + j))
                continue;
            QRgb d = dst.pixel(x + i, y + j);
            d |= sheet.pixel(sx + i, sy + kMaskOffset + j);
            d &= sheet.pixel(sx + i, sy + j);
            dst.setPixel(x + i, y + j, d | 0xFF000000u);
        }
}

QImage cellImage(const Grid& g, bool mirror)
{
    QImage img(kCell, kCell, QImage::Format_RGB32);
    img.fill(kWhite);
    paint(img, g, 0, 0, mirror);
    return img;
}

void brickLedge(QImage& img, int y)
{
    for (int x = 0; x < img.width(); ++x) {
        img.setPixel(x, y, colour('w'));
        const int offset = 0;
        for (int j = 1; j <= 2; ++j) {
            const bool joint = ((x + (j == 2 ? 8 : 0) + offset) % 16) == 0;
            img.setPixel(x, y + j, joint ? colour('G') : colour('g'));
        }
        img.setPixel(x, y + 3, colour('G'));
    }
}

QImage statusStrip(int height)
{
    QImage img(264, height, QImage::Format_RGB32);
    img.fill(kBlack);
    const QRgb captionTop = colour('W'), captionBottom = colour('C'), captionShadow = colour('b');
    letter(img, QStringLiteral("Score"), 16, QRect(8, 4, 46, 16), captionTop, captionBottom, captionShadow, true);
    letter(img, QStringLiteral("Lv"), 16, QRect(118, 4, 20, 16), captionTop, captionBottom, captionShadow, true);
    blit(img, bombIconImage(0, -1), 166, 6);
    blit(img, bombIconImage(1, -1), 215, 6);
    const int fields[4][2] = {{8, 109}, {118, 157}, {166, 206}, {215, 255}};
    for (const auto& f : fields)
        for (int x = f[0]; x <= f[1]; ++x)
            img.setPixel(x, 20, colour('E'));
    brickLedge(img, height - 4);
    return img;
}

// Explosion: solid red with a thin dark border, a hotter heart in every
// cell of the blast so that the shape reads as fire rather than a box.
QImage flash(int cols, int rows)
{
    QImage img(cols * kCell, rows * kCell, QImage::Format_RGB32);
    img.fill(kRed);
    const QRgb hot = 0xFFF04A28, hotter = 0xFFF87838;
    const int w = img.width(), h = img.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Elliptic distance from the centre, in hundredths of the half-size.
            const long dx = (2L * x - w + 1) * 100 / w, dy = (2L * y - h + 1) * 100 / h;
            const long e = dx * dx + dy * dy;
            // A ragged rim: the threshold wobbles with the angle.
            const long wobble = ((x * 7 + y * 13) % 11) * 120;
            if (e < 1400 + wobble)
                img.setPixel(x, y, hotter);
            else if (e < 4200 + wobble && (x + y) % 2 == 0)
                img.setPixel(x, y, hot);
            else if (e < 4200 + wobble)
                img.setPixel(x, y, hotter);
        }
    for (int x = 0; x < img.width(); ++x) {
        img.setPixel(x, 0, kDarkRed);
        img.setPixel(x, img.height() - 1, kDarkRed);
    }
    for (int y = 0; y < img.height(); ++y) {
        img.setPixel(0, y, kDarkRed);
        img.setPixel(img.width() - 1, y, kDarkRed);
    }
    return img;
}

QImage titleScreen(const QImage& sheet)
{
    QImage img(264, 324, QImage::Format_RGB32);
    img.fill(kBlack);

    const int scale = 6;
    const QString logo = QStringLiteral("TARNIX");
    blockLetters(img, logo, (264 - blockWidth(logo, scale)) / 2, 26, scale, 0xFFF8E048, 0xFFF06020,
                 0xFF701010);
    letter(img, QStringLiteral("タールニックス"), 30, QRect(0, 80, 264, 34), 0xFFF0F0F0, 0xFFC4C4CE,
           0xFFB01C14, true);

    // A strip of the well with the bomber on it, the game in one glance.
    const int groundY = 150;
    const int row[11] = {1, 2, 1, 4, 3, 1, 2, 2, 4, 1, 3};
    for (int c = 0; c < 11; ++c)
        blitMasked(img, sheet, c * kCell, groundY, 120 + row[c] * kCell, kTileRow, kCell, kCell);
    blitMasked(img, sheet, 36, groundY - kCell, 4 * kCell, 0, kCell, kCell);
    blit(img, bombIconImage(0, 0), 150, groundY - 12);
    blit(img, bombIconImage(1, 2), 196, groundY - 12);
    blitMasked(img, sheet, 222, groundY - kCell, 1 * kCell, 24, kCell, kCell);

    letter(img, QStringLiteral("GAME START"), 14, QRect(96, 213, 90, 12), 0xFFF0F0F0, 0xFFF8E048,
           0xFF901C14, true);
    letter(img, QStringLiteral("HIGH SCORE"), 15, QRect(97, 245, 98, 14), 0xFFF0F0F0, 0xFFF8E048,
           0xFF901C14, true);
    letter(img, QStringLiteral("Ver1.01"), 13, QRect(21, 297, 48, 12), 0xFF8C8C9A, 0xFF8C8C9A,
           0xFF24242E);
    letter(img, QStringLiteral("(C) 2026 TARNIX"), 13, QRect(124, 297, 119, 12), 0xFF8C8C9A,
           0xFF8C8C9A, 0xFF24242E);
    return img;
}

QImage scorePanel(const QImage& sheet)
{
    QImage img(264, 324, QImage::Format_RGB32);
    img.fill(kBlack);

    // A double frame round the panel.
    for (int x = 3; x <= 260; ++x)
        for (int y : {3, 5, 318, 320})
            img.setPixel(x, y, colour(y == 3 || y == 320 ? 'b' : 'B'));
    for (int y = 3; y <= 320; ++y)
        for (int x : {3, 5, 258, 260})
            img.setPixel(x, y, colour(x == 3 || x == 260 ? 'b' : 'B'));
    for (int y = 5; y <= 318; ++y)
        for (int x = 5; x <= 258; ++x)
            if (y == 5 || y == 318 || x == 5 || x == 258)
                img.setPixel(x, y, colour('B'));

    const QString heading = QStringLiteral("HIGH SCORE");
    blockLetters(img, heading, (264 - blockWidth(heading, 3)) / 2, 19, 3, 0xFFF8E048, 0xFFF06020,
                 0xFF701010);
    letter(img, QStringLiteral("ハイスコア"), 13, QRect(23, 44, 210, 12), 0xFFF0F0F0, 0xFFC4C4CE,
           0xFF203C94, true);

    const char flagInk[5][2] = {{'Y', 'O'}, {'w', 'g'}, {'T', 't'}, {'E', 'e'}, {'C', 'B'}};
    for (int k = 0; k < 5; ++k) {
        const int top = 75 + 40 * k;
        blitMasked(img, sheet, 26, top + 2, 1 * kCell, 0, kCell, kCell);
        // The pole, gripped at shoulder height, and the flag with the rank.
        for (int y = top; y <= top + 25; ++y)
            img.setPixel(47, y, colour('T'));
        img.setPixel(47, top, colour('Y'));
        fillRect(img, 46, top + 18, 2, 2, colour('S'));
        for (int j = 0; j < 12; ++j)
            for (int i = 0; i < 15; ++i) {
                const int y = top + 1 + j;
                const QRgb c = (j == 11 || i == 14) ? colour(flagInk[k][1]) : colour(flagInk[k][0]);
                img.setPixel(48 + i, y, c);
            }
        tinyDigit(img, k + 1, 52, top + 2, 2, colour('K'));

        const int line = 88 + 40 * k;
        letter(img, QStringLiteral("Lv"), 16, QRect(71, line, 18, 16), 0xFFF0F0F0, 0xFF8CC8F8,
               0xFF203C94, true);
        letter(img, QStringLiteral("Score"), 16, QRect(126, line, 44, 16), 0xFFF0F0F0, 0xFF8CC8F8,
               0xFF203C94, true);
        if (k < 4)
            for (int x = 26; x <= 236; x += 2)
                img.setPixel(x, line + 20, colour('G'));
    }
    return img;
}

QImage scaled(const QImage& src, int factor)
{
    return src.scaled(src.width() * factor, src.height() * factor, Qt::IgnoreAspectRatio,
                      Qt::FastTransformation);
}

QImage appIcon(int size)
{
    const bool small = size == 16 || size == 48;
    const Grid& g = small ? appIcon16() : appIcon32();
    QImage base(g.w, g.h, QImage::Format_ARGB32);
    base.fill(Qt::transparent);
    paint(base, g, 0, 0);
    return scaled(base, size / g.w);
}

}  // namespace

QImage spriteSheet()
{
    QImage sheet(240, 168, QImage::Format_RGB32);
    sheet.fill(kBlack);
    for (int facing = 0; facing < 2; ++facing)
        for (int n = 0; n < 10; ++n)
            blit(sheet, cellImage(playerFrame(n), facing == 1), n * kCell, facing * kCell);
    for (int k = 0; k < 4; ++k)
        blit(sheet, cellImage(gameOverFrame(k), false), k * kCell, kTileRow);
    for (int d = 1; d <= 4; ++d) {
        QImage t(kCell, kCell, QImage::Format_RGB32);
        paint(t, tile(d), 0, 0);
        blit(sheet, t, 120 + d * kCell, kTileRow);
    }
    for (int m = 0; m < 10; ++m) {
        const int kind = m < 8 ? m / 4 : m - 8;
        blit(sheet, bombIconImage(kind, m < 8 ? m % 4 : -1), m * kIcon, kIconRow);
    }
    fillRect(sheet, 120, kIconRow, 120, kIcon, kWhite);

    // Masks follow from the figures; nothing below is drawn by hand.
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 240; ++x) {
            const bool figureCell = y < kTileRow || x < 4 * kCell;
            const bool blockTile = y >= kTileRow && x >= 144;
            bool white = false;
            if (figureCell)
                white = (sheet.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
            else if (blockTile)
                white = true;
            sheet.setPixel(x, y + kMaskOffset, white ? kWhite : kBlack);
        }
    for (int y = 0; y < kIcon; ++y)
        for (int x = 0; x < 240; ++x) {
            const bool white = x >= 120 || insideDisc(x % kIcon, y);
            sheet.setPixel(x, kDiscRow + y, white ? kWhite : kBlack);
        }
    return sheet;
}

QImage bombMarks()
{
    QImage img(240, kMarksFigureRow + 4 * kCell, QImage::Format_RGB32);
    img.fill(kBlack);
    for (int m = 0; m < 10; ++m) {
        const int kind = m < 8 ? m / 4 : m - 8;
        blit(img, markedIconImage(kind, m < 8 ? m % 4 : -1), m * kIcon, 0);
    }
    for (int kind = 0; kind < 2; ++kind)
        for (int facing = 0; facing < 2; ++facing)
            for (int n = 0; n < 10; ++n)
                blit(img, cellImage(markedFrame(n, kind), facing == 1), n * kCell,
                     kMarksFigureRow + (2 * kind + facing) * kCell);
    return img;
}

std::vector<Picture> allPictures()
{
    const QImage sheet = spriteSheet();
    std::vector<Picture> out;
    out.push_back({QStringLiteral("sheet.png"), sheet});
    out.push_back({QStringLiteral("title.png"), titleScreen(sheet)});
    out.push_back({QStringLiteral("panel.png"), scorePanel(sheet)});
    out.push_back({QStringLiteral("strip_full.png"), statusStrip(60)});
    out.push_back({QStringLiteral("strip_short.png"), statusStrip(36)});
    out.push_back({QStringLiteral("flash_column.png"), flash(1, 7)});
    out.push_back({QStringLiteral("flash_wide.png"), flash(5, 3)});
    out.push_back({QStringLiteral("flash_square.png"), flash(5, 5)});
    out.push_back({QStringLiteral("bomb_marks.png"), bombMarks()});
    out.push_back({QStringLiteral("pad_glyphs.png"), padGlyphs()});
    for (int size : {16, 32, 48, 128, 256})
        out.push_back({QStringLiteral("icon_%1.png").arg(size), appIcon(size)});
    return out;
}

QImage contactSheet(const std::vector<Picture>& pictures)
{
    constexpr int kZoom = 4, kGap = 24, kCaption = 22;
    // Lay the pictures out in rows no wider than the two big screens.
    const int maxWidth = 2 * 264 * kZoom + kGap * 3;
    struct Placed {
        const Picture* p;
        int x, y;
    };
    std::vector<Placed> placed;
    int x = kGap, y = kGap, rowHeight = 0, width = 0;
    for (const Picture& p : pictures) {
        // Room for the caption beside narrow pictures.
        const int w = std::max(p.image.width() * kZoom, 150), h = p.image.height() * kZoom + kCaption;
        if (x + w + kGap > maxWidth && x > kGap) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        placed.push_back({&p, x, y});
        x += w + kGap;
        width = std::max(width, x);
        rowHeight = std::max(rowHeight, h);
    }
    QImage out(width, y + rowHeight + kGap, QImage::Format_RGB32);
    out.fill(0xFF383838);
    for (const Placed& pl : placed) {
        letter(out, pl.p->file, 16, QRect(pl.x, pl.y, 150, 16), 0xFFE0E0E0,
               0xFFE0E0E0, 0xFF101010);
        QImage big = scaled(pl.p->image, kZoom);
        QPainter p(&out);
        // Transparent icons sit on a checkerboard so that their edges show.
        if (big.hasAlphaChannel())
            for (int j = 0; j < big.height(); j += 16)
                for (int i = 0; i < big.width(); i += 16)
                    p.fillRect(pl.x + i, pl.y + kCaption + j, 16, 16,
                               QColor(((i + j) / 16) % 2 ? 0x505050 : 0x606060));
        p.drawImage(pl.x, pl.y + kCaption, big);
    }
    return out;
}

QImage playScene(const QImage& sheet, const QImage& strip, const QImage& flashImage)
{
    QImage canvas(264, 324, QImage::Format_RGB32);
    canvas.fill(kBlack);
    blit(canvas, strip, 0, 0);
    // A fixed pseudo-random well, so the scene is the same on every run.
    std::uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 11; ++c) {
            int d = 0;
            if (r >= 4) {
                const int v = next() % 20;
                d = v < 6 ? 1 : v < 11 ? 2 : v < 15 ? 3 : v < 17 ? 4 : 0;
            }
            blit(canvas, sheet.copy(120 + d * kCell, kTileRow, kCell, kCell), c * kCell, 60 + r * kCell);
        }
    blitMasked(canvas, sheet, 100, 32, 9 * kCell, 0, kCell, kCell);
    blitMasked(canvas, sheet, 30, 32, 2 * kCell, 24, kCell, kCell);
    blit(canvas, sheet.copy(12, kIconRow, kIcon, kIcon), 150, 100);
    blit(canvas, sheet.copy(48, kIconRow, kIcon, kIcon), 60, 144);
    blit(canvas, sheet.copy(96, kIconRow, kIcon, kIcon), 48, 44);
    blit(canvas, flashImage, 24 * 6 - 48, 24 * 8 + 36);
    return canvas;
}

}  // namespace art
