#pragma once
// The start-up picture: shown over the main window while it comes up, gone after
// 7.5 seconds, at the first key or mouse button anywhere in the program, or as soon as
// a dialog opens (it never covers one).

#include <QBasicTimer>
#include <QWidget>

namespace tamso::gui {

class StartBanner : public QWidget {
  Q_OBJECT
 public:
  // Whether a banner may be shown at all (off for embedded starts).
  static void SetMayShow(bool mayShow);
  // Shows the banner over owner unless one exists or none may show.
  static void Show(QWidget* owner);
  // The banner on screen, or null.
  static StartBanner* Current();
  void Hide();

 protected:
  void paintEvent(QPaintEvent*) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit StartBanner(QWidget* owner);
  ~StartBanner() override;
  QPixmap picture_;
  QBasicTimer timer_;
  QWidget* owner_;
};

// The picture shared by the banner and the About dialog.
QPixmap BannerPicture();

}  // namespace tamso::gui
