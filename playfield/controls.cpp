#include "playfield/controls.h"

#include <QAction>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace tarnix {

namespace {

QFont GameFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                    QStringLiteral("Noto Sans CJK JP")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
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
  Cls();
}

void PictureBox::SetPicture(const QImage& picture) {
  picture_ = picture.convertToFormat(QImage::Format_RGB32);
  if (autoSize_ && !picture_.isNull()) {
    resize(picture_.size() * scale_);
    ResizeLayer(picture_.width(), picture_.height());
  } else {
    Cls();
  }
  update();
}

void PictureBox::Cls() {
  layer_.fill(back_);
  if (!picture_.isNull()) {
    QPainter painter(&layer_);
    painter.drawImage(0, 0, picture_);
  }
  update();
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
      std::memcpy(out + (sx0 - x2 + x1), in + sx0, sizeof(QRgb) * static_cast<std::size_t>(sx1 - sx0));
    }
    update();
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
      switch (op) {
        case vbSrcPaint: out[dx] |= s; break;
        case vbSrcAnd: out[dx] &= s; break;
        default: out[dx] = s; break;
      }
    }
  }
  update();
}

void PictureBox::Refresh() { repaint(); }

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
  if (scale_ == 1) {
    painter.drawImage(0, 0, layer_);
    return;
  }
  // The layer pixels under the exposed area, each drawn as one whole block.
  const QRect exposed = event->rect();
  const QRect area = QRect(QPoint(exposed.left() / scale_, exposed.top() / scale_),
                           QPoint(exposed.right() / scale_, exposed.bottom() / scale_)) &
                     layer_.rect();
  if (area.isEmpty()) return;
  painter.drawImage(WidgetRect(area).topLeft(),
                    layer_.copy(area).scaled(area.size() * scale_, Qt::IgnoreAspectRatio,
                                             Qt::FastTransformation));
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
  setStyleSheet(QStringLiteral("QLabel { color: #%1; background: transparent; }")
                    .arg(color & 0xFFFFFFu, 6, 16, QLatin1Char('0')));
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
