// The whole state of a game being watched, taken every few seconds of play so that the
// theatre can go back, or far forward, without playing the game from its start: the rules'
// state, the random generator, and everything the window shows or the rules read back from
// it (the rules settle bombs on the canvas's pixels).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/module1.h"

namespace tarnix {

struct GameSnapshot {
  struct Box {
    QImage picture;
    // The layer, compressed, shared with the snapshot before when it had not changed.
    std::shared_ptr<const QByteArray> layer;
    qint64 layerKey = 0;
    QSize size;
    QRect drawn;
    int left = 0, top = 0;
    bool visible = false;
  };
  struct Text {
    std::string caption;
    bool visible = false;
  };
  Module1State state;
  std::optional<std::uint64_t> random;
  std::vector<Box> boxes;
  std::vector<Text> labels;
  std::vector<std::string> list1, list2;
  int waitItem = -1;
  std::size_t rowsRisen = 0;  // a race's rows are taken in order
  // The name box: a game played unseen from the title may end in the table's name entry.
  struct NameBox {
    bool visible = false;
    std::string text, tag;
    int top = 0;
  } nameBox;
};

// Takes the state now; `before`, the snapshot taken last, lends the layers that are unchanged.
GameSnapshot Snapshot_Take(const GameSnapshot* before = nullptr);
void Snapshot_Restore(const GameSnapshot& snapshot);
// What differs between two snapshots, one line a field or picture; empty when identical.
std::vector<std::string> Snapshot_Differences(const GameSnapshot& a, const GameSnapshot& b);
// The layer of box `index` as an image.
QImage Snapshot_Layer(const GameSnapshot& snapshot, std::size_t index);

}  // namespace tarnix
