#include "app/start_banner.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimerEvent>

namespace tamso::gui {

namespace {
bool g_mayShow = true;
StartBanner* g_banner = nullptr;
constexpr int kBannerMs = 7500;
}  // namespace

QPixmap BannerPicture() {
  QPixmap picture(QStringLiteral(":/banner.png"));
  if (!picture.isNull()) return picture;
  // Without the program's resources (a library test) the same picture is drawn here.
  picture = QPixmap(400, 200);
  picture.fill(QColor(0x2f, 0x5f, 0x8a));
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf4, 0xa2, 0x61));
  QPainterPath wing;
  wing.moveTo(30, 120);
  wing.cubicTo(70, 60, 150, 60, 180, 95);
  wing.cubicTo(150, 80, 100, 85, 70, 130);
  p.drawPath(wing);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(26);
  p.setFont(f);
  p.drawText(205, 88, QStringLiteral("Ferrowind"));
  f.setPixelSize(30);
  p.setFont(f);
  p.drawText(205, 122, QStringLiteral("Tamso"));
  return picture;
}

void StartBanner::SetMayShow(bool mayShow) {
  g_mayShow = mayShow;
}
StartBanner* StartBanner::Current() {
  return g_banner;
}

void StartBanner::Show(QWidget* owner) {
  if (!g_mayShow || g_banner) return;
  auto* banner = new StartBanner(owner);
  if (banner->picture_.isNull()) {
    delete banner;
    return;
  }
  // Drawn when the window system asks, with the main window, rather than at once
  // before the files named are opened.
  banner->show();
}

StartBanner::StartBanner(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(BannerPicture()),
      owner_(owner) {
  g_banner = this;
  setObjectName(QStringLiteral("109"));
  setAttribute(Qt::WA_DeleteOnClose);
  setCursor(Qt::ArrowCursor);
  resize(picture_.size());
  // Centred over the owner, or over the screen when the owner is not placed yet.
  QRect area = owner && owner->isVisible() ? owner->frameGeometry()
               : screen()                  ? screen()->availableGeometry()
                                           : QRect();
  if (area.isValid()) move(area.center() - rect().center());
  timer_.start(kBannerMs, this);
  qApp->installEventFilter(this);
}

StartBanner::~StartBanner() {
  if (g_banner == this) g_banner = nullptr;
}

void StartBanner::Hide() {
  qApp->removeEventFilter(this);
  timer_.stop();
  if (g_banner == this) g_banner = nullptr;
  QWidget* owner = owner_;
  close();  // deletes this
  if (owner) owner->update();
}

void StartBanner::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, picture_);
}

void StartBanner::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId()) Hide();
}

bool StartBanner::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
      // The banner never covers a dialog: it goes as the first one opens.
      if (auto* w = qobject_cast<QWidget*>(watched);
          w && w != this && w->isWindow() &&
          (qobject_cast<QDialog*>(w) || w->windowType() == Qt::Dialog))
        Hide();
      break;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      Hide();
      break;
    default:
      break;
  }
  return false;  // the event goes on to its window
}

}  // namespace tamso::gui
