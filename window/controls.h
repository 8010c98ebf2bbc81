// The control layer: picture boxes with a persistent drawing layer, label pairs, the name
// box, the work lists and the menu items, with the operations the game's procedures use.
#pragma once

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QAction;
class QPainter;
class QTimer;

namespace tarnix {

// A rectangle of game pixels as widget pixels at factor n.
inline QRect ScaledRect(const QRect& r, int n) {
  return QRect(r.x() * n, r.y() * n, r.width() * n, r.height() * n);
}

// The desktop's own font for the menus and message boxes, with the game's Japanese font
// behind it for the characters the desktop's lacks: the game then holds one Japanese font,
// not a second one found by the font system.
QFont InterfaceFont(const QFont& desktop);

// The game's lettering drawn into a picture, as the label pairs look: bold, yellow over an
// olive shadow one pixel right and down; `dim` for what cannot be chosen now.
QFont Lettering_Font(int pixels);
void Lettering_Draw(QPainter& p, const QRect& box, int flags, const QString& text,
                    bool dim = false);

enum RasterOp : std::uint32_t {
  vbSrcCopy = 0xCC0020,
  vbSrcPaint = 0xEE0086,  // OR
  vbSrcAnd = 0x8800C6,
};

// A picture box: a widget that owns a persistent image (the drawing layer) over its stored
// picture and back colour. Everything drawn goes into the layer; the screen shows the layer.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox();

  void Setup(QWidget* parent, int left, int top, int width, int height, QRgb backColor,
             bool visible, bool autoSize = false);

  // Copies the rectangle (x2, y2, w2, h2) of `src` to (x1, y1, w1, h1) of the layer.
  // A width or height of -1 stands for the whole source; different sizes are stretched
  // nearest-neighbour. Both rectangles are clipped at the pictures' edges.
  void PaintPicture(const QImage& src, int x1, int y1, int w1 = -1, int h1 = -1, int x2 = 0,
                    int y2 = 0, int w2 = -1, int h2 = -1, RasterOp op = vbSrcCopy);
  void Cls();
  void Refresh();
  // The colour of a layer pixel as the platform's colour number (red in the low byte):
  // 0 for black, -1 outside the layer.
  std::int32_t Point(int x, int y) const;

  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture);
  const QImage& Image() const { return layer_; }
  // The part of the layer changed since the screen last showed it, in layer pixels.
  QRect Dirty() const { return dirty_; }
  // Drawn since the last clear: a snapshot keeps it, for the next clear cleans only there.
  QRect Drawn() const { return drawn_; }
  // The picture and layer as a snapshot kept them; the screen shows the whole layer anew.
  void RestoreLayer(const QImage& picture, const QImage& layer, const QRect& drawn);

  // Positions in game pixels, whatever the window's size.
  int Left() const { return x() / scale_; }
  int Top() const { return y() / scale_; }
  void SetLeft(int left) { move(left * scale_, y()); }
  void SetTop(int top) { move(x(), top * scale_); }
  void Move(int left, int top) { move(left * scale_, top * scale_); }
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool visible) { setVisible(visible); }
  void SetFocus() { setFocus(Qt::OtherFocusReason); }

  // Every game pixel becomes an n x n block of the widget.
  void ApplyScale(int n);
  int Scale() const { return scale_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ResizeLayer(int width, int height);
  // Where a rectangle of the layer lies on the widget: the one place the two meet.
  QRect WidgetRect(const QRect& layerRect) const;
  // The screen shows `rect` of the layer anew at the next repaint, and only that.
  void MarkChanged(const QRect& rect);

  QImage picture_;
  QImage layer_;
  QRect dirty_;  // changed and not yet on the screen
  QRect drawn_;  // drawn since the last clear: only there can the layer differ from it
  QRgb back_ = 0xFF000000;
  bool autoSize_ = false;
  int scale_ = 1;
};

// A label of a yellow-over-olive pair; the pair always carries the same text.
class Label : public QLabel {
  Q_OBJECT

 public:
  void Setup(QWidget* parent, int left, int top, int width, int height, int pixelSize,
             QRgb color, Qt::Alignment alignment, const QString& caption, bool visible);
  std::string Caption() const { return text().toStdString(); }
  void SetCaption(const std::string& caption) { setText(QString::fromStdString(caption)); }
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool visible) { setVisible(visible); }
  int Left() const { return x() / scale_; }
  int Top() const { return y() / scale_; }
  void Refresh() { repaint(); }
  // The text is drawn at n times its size, crisp, in the same place.
  void ApplyScale(int n);

 private:
  int scale_ = 1;
  int pixelSize_ = 16;
};

// The name box.
class TextBox : public QLineEdit {
  Q_OBJECT

 public:
  void Setup(QWidget* parent, int left, int top, int width, int height);
  std::string Text() const { return text().toStdString(); }
  void SetText(const std::string& t) { setText(QString::fromStdString(t)); }
  std::string Tag;
  int Top() const { return y() / scale_; }
  void SetTop(int top) { move(x(), top * scale_); }
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool visible) { setVisible(visible); }
  void SetFocus() { setFocus(Qt::OtherFocusReason); }
  void ApplyScale(int n);

  // The cursor blinks while the name is being typed and rests, steady, once nothing has
  // happened in the box for a while, so that a game waiting for a name sleeps.
  void RestCursor();
  bool CursorResting() const { return resting_; }

 protected:
  bool event(QEvent* event) override;

 private:
  void WakeCursor();
  void BlinkAsTheDesktop();

  int scale_ = 1;
  bool resting_ = false;
  QTimer* rest_ = nullptr;
};

// An invisible list of texts.
class ListBox {
 public:
  void AddItem(const std::string& item) { items_.push_back(item); }
  const std::string& List(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int ListCount() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::string> items_;
};

// A menu item whose tick belongs to the game: a click never changes it by itself, the
// item's handler does.
class MenuItem {
 public:
  void Attach(QAction* action) { action_ = action; }
  QAction* Action() const { return action_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  std::string Caption() const;

 private:
  QAction* action_ = nullptr;
  bool checked_ = false;
};

}  // namespace tarnix
