#include "replay/snapshot.h"

#include <cstring>
#include <sstream>

#include "core/platform.h"
#include "replay/challenge.h"
#include "window/form1.h"

namespace tarnix {

namespace {

std::vector<PictureBox*> Boxes(Form1Window& f) {
  std::vector<PictureBox*> boxes = {&f.Picture1, &f.Picture2, &f.Picture4, &f.Picture6,
                                    &f.Picture8};
  for (PictureBox& b : f.Picture3) boxes.push_back(&b);
  for (PictureBox& b : f.Picture5) boxes.push_back(&b);
  return boxes;
}

std::vector<Label*> Labels(Form1Window& f) {
  std::vector<Label*> labels;
  for (Label& l : f.Label1) labels.push_back(&l);
  for (Label& l : f.Label2) labels.push_back(&l);
  for (Label& l : f.Label3) labels.push_back(&l);
  for (Label& l : f.Label4) labels.push_back(&l);
  return labels;
}

std::vector<std::string> Items(const ListBox& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
  return items;
}

void Fill(ListBox& list, const std::vector<std::string>& items) {
  list.Clear();
  for (const std::string& item : items) list.AddItem(item);
}

// Layers are RGB32, four bytes a pixel with no padding: the bits go to zlib as they are.
// Level 1 keeps a snapshot of the canvas near a millisecond; the well's runs of equal pixels
// shrink it about tenfold, which a ten-minute game's hundreds of snapshots need.
std::shared_ptr<const QByteArray> Pack(const QImage& layer) {
  const QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(layer.constBits()),
                                                 static_cast<qsizetype>(layer.sizeInBytes()));
  return std::make_shared<const QByteArray>(qCompress(raw, 1));
}

QImage Unpack(const GameSnapshot::Box& box) {
  QImage image(box.size, QImage::Format_RGB32);
  const QByteArray raw = qUncompress(*box.layer);
  if (raw.size() == image.sizeInBytes()) {
    std::memcpy(image.bits(), raw.constData(), static_cast<std::size_t>(raw.size()));
  }
  return image;
}

int WaitItem() {
  const MenuItem* items[] = {&Form1->mnuO4, &Form1->mnuO5, &Form1->mnuO6, &Form1->mnuO7};
  for (int i = 0; i < 4; ++i) {
    if (items[i]->Checked()) return i;
  }
  return -1;
}

std::string Dump(const Module1State& m) {
  std::ostringstream s;
  s << "GamePhase " << m.GamePhase << "\nMenuCursor " << m.MenuCursor << "\nScore " << m.Score
    << "\nLevel " << m.Level << "\nRiseCountdown " << m.RiseCountdown << "\nRowsToLevel "
    << m.RowsToLevel << "\nRedStock " << m.RedStock << "\nBlueStock " << m.BlueStock
    << "\nBoard " << m.Board << "\nBlocksBroken " << m.BlocksBroken << "\nWaitMs " << m.WaitMs
    << "\nFacing " << m.Facing << "\nAnimFrame " << m.AnimFrame << "\nActionState "
    << m.ActionState << "\nActionFrame " << m.ActionFrame << "\nHeldBomb " << m.HeldBomb
    << "\nKeyFlags " << m.KeyFlags << "\nAppPath " << m.AppPath;
  for (std::size_t i = 0; i < m.Bombs.size(); ++i) {
    const BombRecord& b = m.Bombs[i];
    s << "\nBombs(" << i << ") " << b.State << " " << b.Age << " " << b.X << " " << b.Y << " "
      << b.VX << " " << b.VY << " " << b.Kind;
  }
  for (std::size_t i = 0; i < m.Gifts.size(); ++i) {
    const GiftRecord& g = m.Gifts[i];
    s << "\nGifts(" << i << ") " << g.Active << " " << g.Kind << " " << g.Timer;
  }
  for (std::size_t i = 0; i < m.HiScore.size(); ++i) {
    const HiScoreEntry& h = m.HiScore[i];
    s << "\nHiScore(" << i << ") " << h.Name << " " << h.Level << " " << h.Score;
  }
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

GameSnapshot Snapshot_Take(const GameSnapshot* before) {
  Form1Window& f = *Form1;
  GameSnapshot s;
  s.state = Module1;
  s.random = Platform().random->State();
  const std::vector<PictureBox*> boxes = Boxes(f);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const PictureBox& b = *boxes[i];
    GameSnapshot::Box box;
    box.picture = b.Picture();
    box.layerKey = b.Image().cacheKey();
    box.size = b.Image().size();
    if (before != nullptr && i < before->boxes.size() &&
        before->boxes[i].layerKey == box.layerKey) {
      box.layer = before->boxes[i].layer;
    } else {
      box.layer = Pack(b.Image());
    }
    box.drawn = b.Drawn();
    box.left = b.Left();
    box.top = b.Top();
    box.visible = b.Visible();
    s.boxes.push_back(std::move(box));
  }
  for (const Label* l : Labels(f)) s.labels.push_back({l->Caption(), l->Visible()});
  s.list1 = Items(f.List1);
  s.list2 = Items(f.List2);
  s.waitItem = WaitItem();
  s.rowsRisen = Rows_Risen();
  s.nameBox = {f.Text1.Visible(), f.Text1.Text(), f.Text1.Tag, f.Text1.Top()};
  return s;
}

void Snapshot_Restore(const GameSnapshot& s) {
  Form1Window& f = *Form1;
  Module1 = s.state;
  if (s.random) Platform().random->Randomize(*s.random);
  const std::vector<PictureBox*> boxes = Boxes(f);
  for (std::size_t i = 0; i < boxes.size() && i < s.boxes.size(); ++i) {
    PictureBox& b = *boxes[i];
    const GameSnapshot::Box& box = s.boxes[i];
    if (b.Image().cacheKey() != box.layerKey) b.RestoreLayer(box.picture, Unpack(box), box.drawn);
    b.Move(box.left, box.top);
    b.SetVisible(box.visible);
  }
  const std::vector<Label*> labels = Labels(f);
  for (std::size_t i = 0; i < labels.size() && i < s.labels.size(); ++i) {
    if (labels[i]->Caption() != s.labels[i].caption) labels[i]->SetCaption(s.labels[i].caption);
    labels[i]->SetVisible(s.labels[i].visible);
  }
  Fill(f.List1, s.list1);
  Fill(f.List2, s.list2);
  MenuItem* items[] = {&f.mnuO4, &f.mnuO5, &f.mnuO6, &f.mnuO7};
  for (int i = 0; i < 4; ++i) items[i]->SetChecked(i == s.waitItem);
  Rows_Rewind(s.rowsRisen);
  if (f.Text1.Text() != s.nameBox.text) f.Text1.SetText(s.nameBox.text);
  f.Text1.Tag = s.nameBox.tag;
  f.Text1.SetTop(s.nameBox.top);
  if (f.Text1.Visible() != s.nameBox.visible) {
    f.Text1.SetVisible(s.nameBox.visible);
    if (s.nameBox.visible) f.Text1.SetFocus();
  }
}

QImage Snapshot_Layer(const GameSnapshot& snapshot, std::size_t index) {
  return Unpack(snapshot.boxes.at(index));
}

std::vector<std::string> Snapshot_Differences(const GameSnapshot& a, const GameSnapshot& b) {
  std::vector<std::string> out;
  const std::vector<std::string> la = Lines(Dump(a.state));
  const std::vector<std::string> lb = Lines(Dump(b.state));
  for (std::size_t i = 0; i < la.size() && i < lb.size(); ++i) {
    if (la[i] != lb[i]) out.push_back(la[i] + "  <>  " + lb[i]);
  }
  if (a.random != b.random) out.push_back("random generator's state");
  for (std::size_t i = 0; i < a.boxes.size() && i < b.boxes.size(); ++i) {
    const GameSnapshot::Box& x = a.boxes[i];
    const GameSnapshot::Box& y = b.boxes[i];
    const std::string name = "box " + std::to_string(i);
    if (x.left != y.left || x.top != y.top) out.push_back(name + " position");
    if (x.visible != y.visible) out.push_back(name + " visibility");
    if (x.picture != y.picture) out.push_back(name + " picture");
    if (Unpack(x) != Unpack(y)) out.push_back(name + " layer's pixels");
  }
  for (std::size_t i = 0; i < a.labels.size() && i < b.labels.size(); ++i) {
    if (a.labels[i].caption != b.labels[i].caption || a.labels[i].visible != b.labels[i].visible) {
      out.push_back("label " + std::to_string(i) + " " + a.labels[i].caption + "  <>  " +
                    b.labels[i].caption);
    }
  }
  if (a.list1 != b.list1 || a.list2 != b.list2) out.push_back("work lists");
  if (a.waitItem != b.waitItem) out.push_back("wait item");
  if (a.rowsRisen != b.rowsRisen) out.push_back("rows risen");
  if (a.nameBox.visible != b.nameBox.visible || a.nameBox.text != b.nameBox.text) {
    out.push_back("name box");
  }
  return out;
}

}  // namespace tarnix
