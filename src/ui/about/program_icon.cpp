#include "ui/about/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace tarvolin::ui {

namespace {

// Colours of the picture: a DB2-ish blue for the header and frame, a paler blue for
// the highlighted row, light grey cell lines.
const QColor kFrameBlue(0x0b, 0x3d, 0x91);
const QColor kHeaderBlue(0x1f, 0x5f, 0xc8);
const QColor kHighlight(0x9c, 0xd0, 0xff);
const QColor kCellLine(0xb8, 0xc4, 0xd6);
const QColor kPaper(0xff, 0xff, 0xff);

/// Paints the grid on a 64 by 64 design square; the painter scales it.
void paintDesign(QPainter& p, int size) {
  const bool small = size < 24;
  const qreal line = 64.0 / size;  // one device pixel in design units
  const QRectF sheet(3, 6, 58, 52);
  const qreal radius = small ? 0 : 5;

  QPainterPath outline;
  outline.addRoundedRect(sheet, radius, radius);
  p.fillPath(outline, kPaper);

  p.save();
  p.setClipPath(outline);
  const qreal header = 14;
  p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), header), kHeaderBlue);

  const int rows = small ? 3 : 4;
  const qreal rowHeight = (sheet.height() - header) / rows;
  const int highlighted = 1;
  p.fillRect(QRectF(sheet.left(), sheet.top() + header + highlighted * rowHeight, sheet.width(), rowHeight),
             kHighlight);

  p.setPen(QPen(kCellLine, line));
  for (int r = 1; r < rows; ++r) {
    const qreal y = sheet.top() + header + r * rowHeight;
    p.drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
  }
  const qreal firstCol = sheet.left() + sheet.width() * 0.36;
  const qreal secondCol = sheet.left() + sheet.width() * 0.68;
  for (qreal x : {firstCol, secondCol}) p.drawLine(QPointF(x, sheet.top() + header), QPointF(x, sheet.bottom()));
  p.setPen(QPen(kPaper, line));
  for (qreal x : {firstCol, secondCol}) p.drawLine(QPointF(x, sheet.top() + 3), QPointF(x, sheet.top() + header - 3));

  // A few "values" in the data rows, darker in the highlighted one; below 48 pixels
  // they only blur the grid.
  if (size >= 48) {
    for (int r = 0; r < rows; ++r) {
      const QColor ink = r == highlighted ? kFrameBlue : QColor(0x8a, 0x96, 0xa8);
      const qreal y = sheet.top() + header + r * rowHeight + rowHeight / 2;
      p.setPen(QPen(ink, std::max(line, 2.0), Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(sheet.left() + 5, y), QPointF(firstCol - 5, y));
      p.drawLine(QPointF(firstCol + 4, y), QPointF(secondCol - (r % 2 == 0 ? 5 : 10), y));
      p.drawLine(QPointF(secondCol + 4, y), QPointF(sheet.right() - (r % 2 == 0 ? 9 : 5), y));
    }
  }
  p.restore();

  p.setPen(QPen(kFrameBlue, small ? line : 2.5 * line));
  p.setBrush(Qt::NoBrush);
  p.drawPath(outline);
}

/// One picture of the icon, `size` pixels square.
QPixmap paintProgramIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, size >= 24);
  p.scale(size / 64.0, size / 64.0);
  paintDesign(p, size);
  p.end();
  return pixmap;
}

}  // namespace

const QIcon& programIcon() {
  static const QIcon icon = [] {
    QIcon i;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) i.addPixmap(paintProgramIcon(size));
    return i;
  }();
  return icon;
}

}  // namespace tarvolin::ui
