#include "check.h"

#include "pictures.h"

#include <QImage>

#include <functional>
#include <map>
#include <string>

namespace art {

namespace {

class Checker {
public:
    explicit Checker(std::ostream& out) : out_(out) {}

    void fault(const std::string& what)
    {
        out_ << "fault: " << what << '\n';
        ++faults_;
    }
    int faults() const { return faults_; }

    // Reports at most the first offending pixel of a region, so one bad
    // cell does not flood the output.
    void region(const std::string& name, int x0, int y0, int w, int h,
                const std::function<bool(int, int)>& ok, const std::string& rule)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (!ok(x, y)) {
                    fault(name + ": pixel (" + std::to_string(x) + "," + std::to_string(y) + ") " + rule);
                    return;
                }
    }

private:
    std::ostream& out_;
    int faults_ = 0;
};

QRgb rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

void checkSheet(Checker& c, const QImage& s)
{
    auto maskRule = [&](int cx, int cy, const std::string& name) {
        c.region(name, cx, cy, kCell, kCell,
                 [&](int x, int y) {
                     const bool figure = rgb(s, x, y) != 0xFFFFFF;
                     const QRgb m = rgb(s, x, y + kMaskOffset);
                     return m == (figure ? 0xFFFFFFu : 0u);
                 },
                 "breaks the mask rule (mask white exactly where the figure is not white)");
    };
    for (int row = 0; row < 2; ++row)
        for (int n = 0; n < 10; ++n)
            maskRule(n * kCell, row * kCell,
                     std::string(row ? "left" : "right") + "-facing frame " + std::to_string(n));
    for (int k = 0; k < 4; ++k)
        maskRule(k * kCell, kTileRow, "game-over frame " + std::to_string(k));
    for (int n = 0; n < 10; ++n) {
        int whites = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                whites += rgb(s, n * kCell + x, y) == 0xFFFFFF;
        if (whites == kCell * kCell)
            c.fault("right-facing frame " + std::to_string(n) + " is empty");
    }

    for (int x0 : {96, 120})
        c.region("black cell at x " + std::to_string(x0), x0, kTileRow, kCell, kCell,
                 [&](int x, int y) { return rgb(s, x, y) == 0 && rgb(s, x, y + kMaskOffset) == 0; },
                 "is not black in figure and mask");
    for (int d = 1; d <= 4; ++d) {
        const int x0 = 120 + d * kCell;
        c.region("tile " + std::to_string(d), x0, kTileRow, kCell, kCell,
                 [&](int x, int y) { return rgb(s, x, y) != 0xFFFFFF; },
                 "is pure white, the see-through colour");
        c.region("tile " + std::to_string(d), x0, kTileRow, kCell, kCell,
                 [&](int x, int y) { return rgb(s, x, y) != 0; },
                 "is pure black, which a bomb would fall through");
        c.region("tile " + std::to_string(d) + " mask", x0, kTileRow + kMaskOffset, kCell, kCell,
                 [&](int x, int y) { return rgb(s, x, y) == 0xFFFFFF; }, "is not white");
    }

    for (int m = 0; m < 10; ++m) {
        const int x0 = m * kIcon;
        const std::string name = "icon " + std::to_string(m);
        c.region(name, x0, kIconRow, kIcon, kIcon,
                 [&](int x, int y) { return rgb(s, x, y) != 0xFFFFFF; },
                 "is pure white, the see-through colour");
        for (int corner = 0; corner < 4; ++corner) {
            const int x = x0 + (corner & 1) * (kIcon - 1), y = kIconRow + (corner / 2) * (kIcon - 1);
            if (rgb(s, x, y) != 0)
                c.fault(name + ": corner pixel not black; icons lie on black");
        }
        if (rgb(s, x0 + 5, kDiscRow + 5) != 0xFFFFFF || rgb(s, x0, kDiscRow) != 0)
            c.fault(name + ": no white disc on black under it");
    }
    int sparkFree = 0;
    for (int m = 0; m < 4; ++m)
        for (int kind = 0; kind < 2; ++kind) {
            const QImage a = s.copy(kind * 48 + m * kIcon, kIconRow, kIcon, kIcon);
            const QImage b = s.copy(kind * 48 + ((m + 1) % 4) * kIcon, kIconRow, kIcon, kIcon);
            sparkFree += a == b;
        }
    if (sparkFree)
        c.fault("two neighbouring bomb frames are identical; the spark must move");
    for (int y0 : {kIconRow, kDiscRow})
        c.region("icon row right part", 120, y0, 120, kIcon,
                 [&](int x, int y) { return rgb(s, x, y) == 0xFFFFFF; }, "is not white");
}

// A mark recolours a bomb and never changes its outline: what was see-through stays so, and
// what was not stays not, so a marked game covers the same pixels as an unmarked one.
void checkMarks(Checker& c, const QImage& sheet, const QImage& marks)
{
    c.region("marked icons", 0, 0, 10 * kIcon, kIcon,
             [&](int x, int y) { return (rgb(marks, x, y) == 0) == (rgb(sheet, x, y + kIconRow) == 0); },
             "is black where the unmarked icon is not, or the other way round");
    for (int kind = 0; kind < 2; ++kind)
        for (int facing = 0; facing < 2; ++facing)
            c.region("marked frames of kind " + std::to_string(kind), 0,
                     kMarksFigureRow + (2 * kind + facing) * kCell, 10 * kCell, kCell,
                     [&](int x, int y) {
                         const int sy = y - kMarksFigureRow - 2 * kind * kCell;
                         return (rgb(marks, x, y) == 0xFFFFFF) == (rgb(sheet, x, sy) == 0xFFFFFF);
                     },
                     "changes the figure's outline");
    int unmarked = 0;
    for (int m = 0; m < 10; ++m)
        unmarked += marks.copy(m * kIcon, 0, kIcon, kIcon) == sheet.copy(m * kIcon, kIconRow, kIcon, kIcon);
    if (unmarked)
        c.fault("a bomb icon carries no mark");
}

void checkClear(Checker& c, const QImage& img, const std::string& name, int x0, int y0, int w, int h)
{
    c.region(name, x0, y0, w, h,
             [&](int x, int y) { return !img.rect().contains(x, y) || rgb(img, x, y) == 0; },
             "is not black where the game puts a label or the cursor");
}

}  // namespace

int checkPictures(const QString& dir, std::ostream& out)
{
    Checker c(out);
    struct Expect {
        const char* file;
        int w, h;
    };
    const Expect sizes[] = {
        {"sheet.png", 240, 168},      {"title.png", 264, 324},       {"panel.png", 264, 324},
        {"strip_full.png", 264, 60},  {"strip_short.png", 264, 36},  {"flash_column.png", 24, 168},
        {"flash_wide.png", 120, 72},  {"flash_square.png", 120, 120}, {"icon_16.png", 16, 16},
        {"icon_32.png", 32, 32},      {"icon_48.png", 48, 48},       {"icon_128.png", 128, 128},
        {"icon_256.png", 256, 256},   {"bomb_marks.png", 240, kMarksFigureRow + 4 * kCell},
        {"pad_glyphs.png", 44, 44},
    };
    std::map<std::string, QImage> images;
    for (const Expect& e : sizes) {
        QImage img(dir + '/' + e.file);
        if (img.isNull()) {
            c.fault(std::string(e.file) + ": missing or unreadable");
            continue;
        }
        if (img.width() != e.w || img.height() != e.h)
            c.fault(std::string(e.file) + ": " + std::to_string(img.width()) + "x" +
                    std::to_string(img.height()) + ", expected " + std::to_string(e.w) + "x" +
                    std::to_string(e.h));
        else
            images[e.file] = img.convertToFormat(QImage::Format_ARGB32);
    }
    if (images.count("sheet.png"))
        checkSheet(c, images["sheet.png"]);
    if (images.count("sheet.png") && images.count("bomb_marks.png"))
        checkMarks(c, images["sheet.png"], images["bomb_marks.png"]);
    if (images.count("title.png")) {
        checkClear(c, images["title.png"], "title cursor at (72,204)", 72, 204, 24, 24);
        checkClear(c, images["title.png"], "title cursor at (72,236)", 72, 236, 24, 24);
    }
    if (images.count("panel.png"))
        for (int k = 0; k < 5; ++k) {
            const std::string rank = " of rank " + std::to_string(k);
            checkClear(c, images["panel.png"], "panel name" + rank, 70, 72 + 40 * k, 162, 17);
            checkClear(c, images["panel.png"], "panel level" + rank, 95, 88 + 40 * k, 20, 17);
            checkClear(c, images["panel.png"], "panel score" + rank, 176, 88 + 40 * k, 56, 17);
        }
    if (images.count("panel.png"))
        checkClear(c, images["panel.png"], "panel message line", 71, 279, 162, 17);
    for (const char* strip : {"strip_full.png", "strip_short.png"}) {
        if (!images.count(strip))
            continue;
        const QImage& img = images[strip];
        const std::string n = strip;
        checkClear(c, img, n + " score label", 56, 4, 56, 16);
        checkClear(c, img, n + " level label", 140, 4, 20, 16);
        checkClear(c, img, n + " red stock label", 180, 4, 29, 16);
        checkClear(c, img, n + " blue stock label", 229, 4, 29, 16);
        const int ledge = img.height() - 4;
        c.region(n + " ledge", 0, ledge, img.width(), 4,
                 [&](int x, int y) { return rgb(img, x, y) != 0; }, "has a gap in the ledge");
        checkClear(c, img, n + " walking space", 0, 22, img.width(), ledge - 22);
    }
    for (const char* f : {"flash_column.png", "flash_wide.png", "flash_square.png"}) {
        if (!images.count(f))
            continue;
        const QImage& img = images[f];
        long reddish = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                reddish += qRed(p) > 2 * qGreen(p) && qRed(p) > 2 * qBlue(p);
            }
        if (reddish != static_cast<long>(img.width()) * img.height())
            c.fault(std::string(f) + ": not red everywhere");
    }
    return c.faults();
}

}  // namespace art
