#include "window/controls.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QStyleHints>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace tarnix {

namespace {

QStringList JapaneseFamilies() {
  return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
          QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
          QStringLiteral("Noto Sans CJK JP")};
}

QFont GameFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(JapaneseFamilies());
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont Lettering_Font(int pixels) { return GameFont(pixels, true); }

void Lettering_Draw(QPainter& p, const QRect& box, int flags, const QString& text, bool dim) {
  p.setPen(QColor(0x80, 0x80, 0x00));
  p.drawText(box.translated(1, 1), flags, text);
  p.setPen(dim ? QColor(0xA0, 0xA0, 0x60) : QColor(0xFF, 0xFF, 0x00));
  p.drawText(box, flags, text);
}

QFont InterfaceFont(const QFont& desktop) {
  QFont font = desktop;
  QStringList families = desktop.families();
  if (families.isEmpty()) families.append(desktop.family());
  for (const QString& family : JapaneseFamilies()) {
    if (!families.contains(family)) families.append(family);
  }
  font.setFamilies(families);
  return font;
}

namespace {

// As long as a desktop's text fields blink before their cursor rests.
constexpr int kCursorRestMs = 10000;

// The desktop's blinking period, as it was before the name box first rested its cursor.
int DesktopFlashTime() {
  static const int desktop = QGuiApplication::styleHints()->cursorFlashTime();
  return desktop;
}

// The bounding box of the pixels an operation changed, grown one run at a time.
struct ChangedBox {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  void Add(int x0, int x1, int y) {  // columns x0..x1 of row y
    left = std::min(left, x0);
    right = std::max(right, x1);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  QRect Rect() const { return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom)); }
};

// The first and last of `n` pixels where two runs differ; false where they are the same.
bool DifferingRun(const QRgb* a, const QRgb* b, int n, int& first, int& last) {
  if (n <= 0 || std::memcmp(a, b, sizeof(QRgb) * static_cast<std::size_t>(n)) == 0) return false;
  first = 0;
  while (a[first] == b[first]) ++first;
  last = n - 1;
  while (a[last] == b[last]) --last;
  return true;
}

// Copies `n` pixels where they differ, adding the changed run to `box`.
void CopyChanged(QRgb* out, const QRgb* in, int n, int x, int y, ChangedBox& box) {
  int first = 0;
  int last = 0;
  if (!DifferingRun(out, in, n, first, last)) return;
  std::memcpy(out + first, in + first, sizeof(QRgb) * static_cast<std::size_t>(last - first + 1));
  box.Add(x + first, x + last, y);
}

}  // namespace

PictureBox::PictureBox() {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void PictureBox::Setup(QWidget* parent, int left, int top, int width, int height,
                       QRgb backColor, bool visible, bool autoSize) {
  setParent(parent);
  back_ = backColor | 0xFF000000u;
  autoSize_ = autoSize;
  setGeometry(ScaledRect(QRect(left, top, width, height), scale_));
  ResizeLayer(width, height);
  setVisible(visible);
}

void PictureBox::ResizeLayer(int width, int height) {
  layer_ = QImage(width, height, QImage::Format_RGB32);
  layer_.fill(back_);
  drawn_ = layer_.rect();
  Cls();
}

void PictureBox::SetPicture(const QImage& picture) {
  picture_ = picture.convertToFormat(QImage::Format_RGB32);
  if (autoSize_ && !picture_.isNull()) {
    resize(picture_.size() * scale_);
    ResizeLayer(picture_.width(), picture_.height());
  } else {
    drawn_ = layer_.rect();
    Cls();
  }
}

void PictureBox::RestoreLayer(const QImage& picture, const QImage& layer, const QRect& drawn) {
  picture_ = picture;
  if (autoSize_ && layer.size() != layer_.size()) resize(layer.size() * scale_);
  layer_ = layer;
  MarkChanged(layer_.rect());
  drawn_ = drawn;
}

void PictureBox::MarkChanged(const QRect& rect) {
  if (rect.isEmpty()) return;
  dirty_ |= rect;
  drawn_ |= rect;
  update(WidgetRect(rect));
}

void PictureBox::Cls() {
  // Only where something was drawn since the last clear can the layer differ from its
  // back colour and picture.
  const QRect area = drawn_ & layer_.rect();
  drawn_ = QRect();
  if (area.isEmpty()) return;
  if (area == layer_.rect() && picture_.size() == layer_.size()) {
    // The whole layer becomes its picture: it shares the picture's pixels until something
    // is drawn on it, so a stored picture is held once.
    ChangedBox box;
    for (int y = 0; y < layer_.height(); ++y) {
      const auto* was = reinterpret_cast<const QRgb*>(std::as_const(layer_).constScanLine(y));
      const auto* now = reinterpret_cast<const QRgb*>(picture_.constScanLine(y));
      int first = 0;
      int last = 0;
      if (DifferingRun(was, now, layer_.width(), first, last)) box.Add(first, last, y);
    }
    layer_ = picture_;
    MarkChanged(box.Rect());
    drawn_ = QRect();
    return;
  }
  const int pictureRight = std::min(area.right() + 1, static_cast<int>(picture_.width()));
  std::vector<QRgb> clean(static_cast<std::size_t>(area.width()), back_);
  ChangedBox box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::fill(clean.begin(), clean.end(), back_);
    if (y < picture_.height() && pictureRight > area.left()) {
      const auto* in = reinterpret_cast<const QRgb*>(picture_.constScanLine(y));
      std::copy(in + area.left(), in + pictureRight, clean.begin());
    }
    auto* out = reinterpret_cast<QRgb*>(layer_.scanLine(y)) + area.left();
    CopyChanged(out, clean.data(), area.width(), area.left(), y, box);
  }
  const QRect changed = box.Rect();
  MarkChanged(changed);
  drawn_ = QRect();
}

void PictureBox::PaintPicture(const QImage& src, int x1, int y1, int w1, int h1, int x2,
                              int y2, int w2, int h2, RasterOp op) {
  if (src.isNull()) return;
  if (w2 < 0) w2 = src.width() - x2;
  if (h2 < 0) h2 = src.height() - y2;
  if (w1 < 0) w1 = w2;
  if (h1 < 0) h1 = h2;
  if (w1 <= 0 || h1 <= 0 || w2 <= 0 || h2 <= 0) return;

  const QImage source =
      src.format() == QImage::Format_RGB32 ? src : src.convertToFormat(QImage::Format_RGB32);
  const bool stretched = w1 != w2 || h1 != h2;
  const int dx0 = std::max(0, x1);
  const int dy0 = std::max(0, y1);
  const int dx1 = std::min(layer_.width(), x1 + w1);
  const int dy1 = std::min(layer_.height(), y1 + h1);
  ChangedBox box;
  if (!stretched && op == vbSrcCopy) {
    // The common case (tiles, flashes, backgrounds): whole scanlines at a time.
    const int sx0 = std::max({x2, x2 + dx0 - x1, 0});
    const int sx1 = std::min({x2 + w2, x2 + dx1 - x1, static_cast<int>(source.width())});
    if (sx1 <= sx0) return;
    for (int dy = dy0; dy < dy1; ++dy) {
      const int sy = y2 + dy - y1;
      if (sy < 0 || sy >= source.height() || sy >= y2 + h2) continue;
      const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
      auto* out = reinterpret_cast<QRgb*>(layer_.scanLine(dy));
      const int dx = sx0 - x2 + x1;
      CopyChanged(out + dx, in + sx0, sx1 - sx0, dx, dy, box);
    }
    MarkChanged(box.Rect());
    return;
  }
  for (int dy = dy0; dy < dy1; ++dy) {
    const int sy = y2 + (stretched ? (dy - y1) * h2 / h1 : dy - y1);
    if (sy < 0 || sy >= source.height() || sy >= y2 + h2) continue;
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
    auto* out = reinterpret_cast<QRgb*>(layer_.scanLine(dy));
    for (int dx = dx0; dx < dx1; ++dx) {
      const int sx = x2 + (stretched ? (dx - x1) * w2 / w1 : dx - x1);
      if (sx < 0 || sx >= source.width() || sx >= x2 + w2) continue;
      const QRgb s = in[sx] | 0xFF000000u;
      QRgb v;
      switch (op) {
        case vbSrcPaint: v = out[dx] | s; break;
        case vbSrcAnd: v = out[dx] & s; break;
        default: v = s; break;
      }
      if (v == out[dx]) continue;
      out[dx] = v;
      box.Add(dx, dx, dy);
    }
  }
  MarkChanged(box.Rect());
}

void PictureBox::Refresh() {
  if (!dirty_.isEmpty()) {
    repaint(WidgetRect(dirty_));
  } else if (QWidget* top = window()) {
    // Nothing of the layer waits, but a move or a show elsewhere may: the screen is
    // brought up to date now all the same.
    QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
  }
}

std::int32_t PictureBox::Point(int x, int y) const {
  if (x < 0 || y < 0 || x >= layer_.width() || y >= layer_.height()) return -1;
  const QRgb c = reinterpret_cast<const QRgb*>(layer_.constScanLine(y))[x];
  return static_cast<std::int32_t>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
}

// The game's rectangle of a widget drawn at factor `from`, placed at factor `to`.
static QRect Rescaled(const QRect& r, int from, int to) {
  return ScaledRect(QRect(r.x() / from, r.y() / from, r.width() / from, r.height() / from), to);
}

void PictureBox::ApplyScale(int n) {
  n = std::max(1, n);
  setGeometry(Rescaled(geometry(), scale_, n));
  scale_ = n;
  update();
}

QRect PictureBox::WidgetRect(const QRect& layerRect) const { return ScaledRect(layerRect, scale_); }

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  for (const QRect& r : event->region()) {
    if (scale_ == 1) {
      painter.drawImage(r.topLeft(), layer_, r);
      continue;
    }
    // The layer pixels under the exposed area, each drawn as one whole block.
    const QRect area = QRect(QPoint(r.left() / scale_, r.top() / scale_),
                             QPoint(r.right() / scale_, r.bottom() / scale_)) &
                       layer_.rect();
    if (area.isEmpty()) continue;
    painter.drawImage(WidgetRect(area).topLeft(),
                      layer_.copy(area).scaled(area.size() * scale_, Qt::IgnoreAspectRatio,
                                               Qt::FastTransformation));
  }
  // Qt paints every pending update of the widget at once, less what children cover.
  dirty_ = QRect();
}

void Label::Setup(QWidget* parent, int left, int top, int width, int height, int pixelSize,
                  QRgb color, Qt::Alignment alignment, const QString& caption, bool visible) {
  setParent(parent);
  pixelSize_ = pixelSize;
  setGeometry(ScaledRect(QRect(left, top, width, height), scale_));
  setFont(GameFont(pixelSize, true));
  setAlignment(alignment | Qt::AlignVCenter);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // A palette colour draws the same text as a style sheet would, without the style sheet
  // machinery on every paint.
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor::fromRgb(color | 0xFF000000u));
  setPalette(colours);
  setContentsMargins(0, 0, 0, 0);
  setIndent(0);
  setText(caption);
  setVisible(visible);
}

void Label::ApplyScale(int n) {
  n = std::max(1, n);
  setGeometry(Rescaled(geometry(), scale_, n));
  scale_ = n;
  setFont(GameFont(pixelSize_ * n, true));
}

void TextBox::Setup(QWidget* parent, int left, int top, int width, int height) {
  setParent(parent);
  setGeometry(ScaledRect(QRect(left, top, width, height), scale_));
  setFont(GameFont(16, false));
  setMaxLength(10);
  setFrame(false);
  setTextMargins(1, 0, 0, 0);
  setStyleSheet(QStringLiteral(
      "QLineEdit { background: rgb(128,128,255); color: white; border: none; padding: 0; }"));
  setVisible(false);
  if (rest_ != nullptr) return;
  rest_ = new QTimer(this);
  rest_->setSingleShot(true);
  rest_->setTimerType(Qt::CoarseTimer);
  rest_->setInterval(kCursorRestMs);
  connect(rest_, &QTimer::timeout, this, &TextBox::RestCursor);
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (hasFocus()) WakeCursor();
  });
}

bool TextBox::event(QEvent* event) {
  if (rest_ == nullptr) return QLineEdit::event(event);
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::KeyPress:
    case QEvent::InputMethod:
      WakeCursor();
      break;
    case QEvent::FocusOut:
      // Blinking is the desktop's choice everywhere else.
      BlinkAsTheDesktop();
      rest_->stop();
      break;
    default:
      break;
  }
  return QLineEdit::event(event);
}

void TextBox::BlinkAsTheDesktop() {
  if (!resting_) return;
  QGuiApplication::styleHints()->setCursorFlashTime(DesktopFlashTime());
  resting_ = false;
}

void TextBox::WakeCursor() {
  BlinkAsTheDesktop();
  rest_->start();
}

void TextBox::RestCursor() {
  if (resting_) return;
  DesktopFlashTime();  // known before it is changed
  resting_ = true;
  QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void TextBox::ApplyScale(int n) {
  n = std::max(1, n);
  setGeometry(Rescaled(geometry(), scale_, n));
  scale_ = n;
  setFont(GameFont(16 * scale_, false));
  setTextMargins(scale_, 0, 0, 0);
}

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (action_) action_->setChecked(checked);
}

bool MenuItem::Enabled() const { return action_ == nullptr || action_->isEnabled(); }

void MenuItem::SetEnabled(bool enabled) {
  if (action_) action_->setEnabled(enabled);
}

std::string MenuItem::Caption() const {
  return action_ ? action_->text().toStdString() : std::string();
}

}  // namespace tarnix
