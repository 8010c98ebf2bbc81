#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace art {

struct Picture {
    QString file;
    QImage image;
};

// Every picture the game stores, in the order of the contact sheet.
std::vector<Picture> allPictures();

QImage spriteSheet();
// The bombs with their marks: the sheet's icon row as it is at y 0, then the figure's frames
// with a marked bomb in its hands, a row of 10 per kind and facing (red right, red left, blue
// right, blue left) from kMarksFigureRow.
QImage bombMarks();
QImage contactSheet(const std::vector<Picture>& pictures);
// A made-up moment of play, composed the way the game composes it.
QImage playScene(const QImage& sheet, const QImage& strip, const QImage& flash);

// Sheet geometry shared by the drawing and the checks.
constexpr int kCell = 24;
constexpr int kIcon = 12;
constexpr int kMaskOffset = 84;
constexpr int kIconRow = 72;
constexpr int kDiscRow = 156;
constexpr int kTileRow = 48;
constexpr int kMarksFigureRow = 12;

}  // namespace art
