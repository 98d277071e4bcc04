#include "platform/qt_host.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>

#include "app/window_look.h"
#include "platform/paths.h"

namespace tamso::gui {
namespace {

QMessageBox::Icon ToQt(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return QMessageBox::NoIcon;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case MsgIcon::Stop:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// A progress dialog that appears only when the task lasts, and that hands the event
// loop a turn now and then so the windows repaint and Cancel can be pressed.
class DialogProgress : public IProgress {
 public:
  DialogProgress(QWidget* parent, const QString& title) : dialog_(parent) {
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setRange(0, 0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumDuration(kShowAfterMs);
    dialog_.reset();
    started_.start();
    turn_.start();
  }
  bool Update(const std::string& text) override {
    if (turn_.elapsed() < kTurnMs) return !dialog_.wasCanceled();
    turn_.restart();
    dialog_.setLabelText(Q(text));
    if (!dialog_.isVisible() && started_.elapsed() >= kShowAfterMs) dialog_.show();
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  static constexpr int kShowAfterMs = 400;
  static constexpr int kTurnMs = 30;
  QProgressDialog dialog_;
  QElapsedTimer started_;
  QElapsedTimer turn_;
};

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton escape;
};

ButtonSet ToQt(MsgButtons b) {
  switch (b) {
    case MsgButtons::Ok:
      return {QMessageBox::Ok, QMessageBox::Ok};
    case MsgButtons::OkCancel:
      return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
    case MsgButtons::YesNo:
      return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case MsgButtons::YesNoCancel:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel};
    case MsgButtons::RetryCancel:
      return {QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel};
    case MsgButtons::AbortRetryIgnore:
      return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Ignore};
  }
  return {QMessageBox::Ok, QMessageBox::Ok};
}

Answer FromQt(int b) {
  switch (b) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Retry:
      return Answer::Retry;
    case QMessageBox::Abort:
      return Answer::Abort;
    case QMessageBox::Ignore:
      return Answer::Ignore;
    default:
      return Answer::Cancel;
  }
}

void Prepare(QFileDialog& d, const FileDialogOptions& o, const std::string& startDir) {
  if (!o.filter.empty()) d.setNameFilters(QtHost::ToQtFilter(o.filter).split(";;"));
  if (!o.defaultExt.empty()) d.setDefaultSuffix(Q(o.defaultExt));
  if (!o.initialDir.empty())
    d.setDirectory(QPath(o.initialDir));
  else if (!startDir.empty() && !paths::IsAbsolute(o.initialFile))
    d.setDirectory(QPath(startDir));
  if (!o.initialFile.empty()) d.selectFile(QPath(o.initialFile));
  d.setOption(QFileDialog::DontConfirmOverwrite, !o.overwritePrompt);
  // Qt's own dialog (when the desktop offers none) sizes its columns to the names
  // each time a folder's listing arrives, so that no column is cut off.
  auto* view = d.findChild<QTreeView*>();
  auto* model = d.findChild<QFileSystemModel*>();
  if (view && model) {
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, [view] {
      for (int c = 0; c < view->header()->count(); ++c) view->resizeColumnToContents(c);
    });
  }
  if (auto* places = d.findChild<QListView*>(QStringLiteral("sidebar")))
    places->setMinimumWidth(places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8);
  d.resize(d.sizeHint().expandedTo(QSize(720, 440)));
}

}  // namespace

Answer QtHost::MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) {
  ButtonSet set = ToQt(buttons);
  // A message about what a dialog asked for (Replace All's count, Find's "not found")
  // belongs to that dialog: the focus goes back there when the message closes.
  QWidget* parent = messageParent_.data();
  if (!parent) parent = qobject_cast<QDialog*>(QApplication::activeWindow());
  if (!parent) parent = parent_.data();
  QMessageBox box(ToQt(icon), caption.empty() ? appTitle_ : QDisplay(caption), QDisplay(text),
                  set.buttons, parent);
  box.setEscapeButton(set.escape);
  return FromQt(box.exec());
}

void QtHost::Beep(BeepKind) {
  QApplication::beep();
}

void QtHost::BeginWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtHost::EndWaitCursor() {
  QApplication::restoreOverrideCursor();
}

std::optional<std::string> QtHost::OpenFileDialog(const FileDialogOptions& o) {
  QFileDialog d(parent_.data(), Q(o.title));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  Prepare(d, o, DialogStart());
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  std::string chosen = SPath(d.selectedFiles().front());
  lastDialogDir_ = paths::Directory(chosen);
  return chosen;
}

std::optional<std::string> QtHost::SaveFileDialog(const FileDialogOptions& o) {
  QFileDialog d(parent_.data(), Q(o.title));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  Prepare(d, o, DialogStart());
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  std::string chosen = SPath(d.selectedFiles().front());
  lastDialogDir_ = paths::Directory(chosen);
  return chosen;
}

std::vector<std::string> QtHost::OpenFilesDialog(const FileDialogOptions& o) {
  QFileDialog d(parent_.data(), Q(o.title));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFiles);
  Prepare(d, o, DialogStart());
  std::vector<std::string> out;
  if (d.exec() != QDialog::Accepted) return out;
  for (const QString& f : d.selectedFiles()) out.push_back(SPath(f));
  if (!out.empty()) lastDialogDir_ = paths::Directory(out.front());
  return out;
}

std::optional<std::string> QtHost::FolderDialog(const FileDialogOptions& o) {
  QFileDialog d(parent_.data(), Q(o.title));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::Directory);
  d.setOption(QFileDialog::ShowDirsOnly, true);
  Prepare(d, o, DialogStart());
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  std::string chosen = SPath(d.selectedFiles().front());
  lastDialogDir_ = chosen;
  return chosen;
}

std::optional<std::uint32_t> QtHost::ColorDialog(std::uint32_t initial) {
  QColor start(int(initial & 0xff), int((initial >> 8) & 0xff), int((initial >> 16) & 0xff));
  QColor c = QColorDialog::getColor(start, parent_.data());
  if (!c.isValid()) return std::nullopt;
  return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

std::string QtHost::DialogStart() {
  IDocument* doc = ActiveDocument();
  return DialogStartDirectory(doc ? doc->PathName() : std::string(),
                              site_ ? site_->ProjectFile() : std::string(), lastDialogDir_);
}

IView* QtHost::OpenDocument(const std::string& path) {
  return site_ ? site_->OpenDocument(path) : nullptr;
}

IView* QtHost::ActiveView() {
  return site_ ? site_->ActiveView() : nullptr;
}

IDocument* QtHost::ActiveDocument() {
  return site_ ? site_->ActiveDocument() : nullptr;
}

IOutput& QtHost::Output() {
  return site_ ? site_->Output() : nullOutput_;
}

QString QtHost::ToQtFilter(const std::string& filter) {
  QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i].trimmed();
    QString pattern = parts[i + 1].trimmed();
    if (desc.isEmpty() && pattern.isEmpty()) continue;
    QString qtPattern = pattern;
    qtPattern.replace(';', ' ');
    out << (desc.contains('(') ? desc.left(desc.indexOf('(')).trimmed() + " (" + qtPattern + ")"
                               : desc + " (" + qtPattern + ")");
  }
  return out.join(";;");
}

std::unique_ptr<IProgress> QtHost::BeginProgress(const std::string& title) {
  return std::make_unique<DialogProgress>(parent_.data(), QDisplay(title));
}

void QtHost::ShowStatus(const std::string& text) {
  auto* window = qobject_cast<QMainWindow*>(parent_.data());
  if (!window) return;
  window->statusBar()->show();
  window->statusBar()->showMessage(QDisplay(text), 15000);
}

}  // namespace tamso::gui
