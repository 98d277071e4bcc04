#include "options/tips_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "editor/text_decode.h"
#include "platform/display_text.h"

namespace tamso::gui {

namespace {

// The white band at the top: a picture and "Check this out...".
class TipsHeader : public QWidget {
 public:
  explicit TipsHeader(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("1000"));
    setAccessibleName(tr("Check this out..."));
    setMinimumHeight(44);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QPixmap picture = style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32);
    const int band = std::max(picture.height() / picture.devicePixelRatio(), 32.0);
    p.drawPixmap(QPoint(6, 6), picture);
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(48, 6, width() - 54, band),
               Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, tr("Check this out..."));
  }
};

std::string TipsPathOrDefault(const std::string& path) {
  return path.empty() ? FindTipsFile() : path;
}

}  // namespace

TipsDialog::TipsDialog(IniFile& profile, const std::string& tipsPath, QWidget* parent)
    : QDialog(parent), reader_(std::make_unique<TipsReader>(profile, tipsPath)) {
  setWindowTitle(QStringLiteral("What's Cool"));
  setObjectName(QStringLiteral("118"));
  auto* frame = new QWidget(this);
  frame->setAutoFillBackground(true);
  QPalette white = frame->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  frame->setPalette(white);
  tip_ = new QLabel(frame);
  tip_->setObjectName(QStringLiteral("1004"));
  tip_->setAccessibleName(tr("Tip"));
  tip_->setWordWrap(true);
  tip_->setTextFormat(Qt::PlainText);
  tip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  tip_->setMinimumSize(420, 120);
  tip_->setMargin(8);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(0, 0, 0, 0);
  frameLayout->addWidget(new TipsHeader(frame));
  frameLayout->addWidget(tip_, 1);

  startUp_ = new QCheckBox(tr("&Show on StartUp"), this);
  startUp_->setObjectName(QStringLiteral("1001"));
  startUp_->setAccessibleName(tr("Show on StartUp"));
  startUp_->setChecked(reader_->ShowAtStartUp());
  next_ = new QPushButton(tr("&Next Item"), this);
  next_->setObjectName(QStringLiteral("1002"));
  next_->setAccessibleName(tr("Next Item"));
  next_->setAutoDefault(false);
  next_->setEnabled(reader_->HasFile());
  auto* close = new QPushButton(tr("&Close"), this);
  close->setObjectName(QStringLiteral("1"));
  close->setAccessibleName(tr("Close"));
  close->setDefault(true);
  connect(next_, &QPushButton::clicked, this, [this] {
    reader_->Next();
    ShowTip();
  });
  connect(close, &QPushButton::clicked, this, &TipsDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(startUp_);
  buttons->addStretch(1);
  buttons->addWidget(next_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame, 1);
  layout->addLayout(buttons);
  ShowTip();
  close->setFocus();
}

TipsDialog::~TipsDialog() = default;

void TipsDialog::ShowTip() {
  // A tip of megabytes (one line of the file) is cut to what a person reads.
  tip_->setText(DecodeForDisplay(ElideForDisplay(reader_->Tip())));
}

void TipsDialog::accept() {
  reader_->Close(startUp_->isChecked());
  QDialog::accept();
}

void ShowTipsDialog(QWidget* parent, IniFile& profile, const std::string& tipsPath) {
  TipsDialog dialog(profile, TipsPathOrDefault(tipsPath), parent);
  dialog.exec();
}

bool OfferTipsAtStartUp(QWidget* parent, IniFile& profile, const std::string& tipsPath) {
  if (!TipsShownAtStartUp(profile)) {
    // With the tips turned off no dialog is built; the next start still has the next tip.
    TipsReader moveOn(profile, TipsPathOrDefault(tipsPath));
    return false;
  }
  TipsDialog dialog(profile, TipsPathOrDefault(tipsPath), parent);
  if (!dialog.Reader().ShowAtStartUp() || !dialog.Reader().HasFile()) return false;
  dialog.exec();
  return true;
}

}  // namespace tamso::gui
