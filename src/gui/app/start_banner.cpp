#include "app/start_banner.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

namespace tamso::gui {

namespace {
bool g_mayShow = true;
StartBanner* g_banner = nullptr;
constexpr int kBannerMs = 7500;
}  // namespace

QPixmap BannerPicture() {
  return QPixmap(QStringLiteral(":/banner.png"));
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
  banner->show();
  banner->repaint();
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

bool StartBanner::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
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
