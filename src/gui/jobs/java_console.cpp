#include "jobs/java_console.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <atomic>
#include <cstring>

#include "jobs/output_bar.h"
#include "platform/host.h"

namespace tamso::gui {

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr const char* kEndRunningQuestion =
    "The program is still running in the Java Console.\n\nEnd it?";
constexpr const char* kEndLeftQuestion =
    "The program has ended, but processes it started still run in the Java Console.\n\n"
    "End them?";

}  // namespace

JavaConsole::JavaConsole(IHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("JavaConsole"));
  setWindowTitle(QStringLiteral("Java Console"));
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  status_->setObjectName(QStringLiteral("JavaConsoleStatus"));
  layout->addWidget(status_);
  view_ = new OutputBar(&host, this, kTextCap);
  view_->setObjectName(QStringLiteral("JavaConsoleText"));
  view_->setAccessibleName(QStringLiteral("Java Console"));
  view_->SetLineCap(kLineCap);
  layout->addWidget(view_, 1);
  auto* row = new QHBoxLayout();
  input_ = new QLineEdit(this);
  input_->setObjectName(QStringLiteral("JavaConsoleInput"));
  input_->setAccessibleName(QStringLiteral("Program input"));
  input_->setPlaceholderText(
      QStringLiteral("Input: Enter sends the line, Ctrl+D ends the input, Ctrl+C interrupts"));
  input_->installEventFilter(this);
  row->addWidget(input_, 1);
  stop_ = new QPushButton(QStringLiteral("Stop"), this);
  stop_->setObjectName(QStringLiteral("JavaConsoleStop"));
  stop_->setAccessibleName(QStringLiteral("Stop the program"));
  clear_ = new QPushButton(QStringLiteral("Clear"), this);
  clear_->setObjectName(QStringLiteral("JavaConsoleClear"));
  clear_->setAccessibleName(QStringLiteral("Clear the console"));
  status_->setAccessibleName(QStringLiteral("Program status"));
  row->addWidget(stop_);
  row->addWidget(clear_);
  layout->addLayout(row);
  connect(input_, &QLineEdit::returnPressed, this, [this] {
    SendLine(input_->text());
    input_->clear();
  });
  connect(stop_, &QPushButton::clicked, this, &JavaConsole::StopProgram);
  connect(clear_, &QPushButton::clicked, this, &JavaConsole::Clear);
  stop_->setEnabled(false);
  input_->setEnabled(false);
  // Docked, the console closes with its dock: what runs in it goes then too.
  if (auto* dock = qobject_cast<QDockWidget*>(parent)) dock->installEventFilter(this);
}

void JavaConsole::SetSourceRoots(const std::vector<std::string>& roots) {
  view_->SetReferenceRoots(roots);
}

void JavaConsole::Reveal() {
  if (reveal_) {
    reveal_();
  } else {
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
  }
}

void JavaConsole::InterruptProgram() {
  if (process_ && process_->Running())
    process_->Interrupt();
  else
    host_.Beep(BeepKind::Default);
}

JavaConsole::~JavaConsole() {
  EndProgram();
  for (auto& t : retiring_) t.join();
}

void JavaConsole::ShowEnd(const std::string& end) {
  endShown_ = true;
  view_->AppendOutput(end, true);
  status_->setText(Q(end));
  stop_->setEnabled(false);
  input_->setEnabled(false);
}

void JavaConsole::Retire() {
  if (!process_) return;
  if (live_) live_->store(false);
  // Whatever comes next (a new run, or a start that fails), this program is over
  // and the window says so.
  if (!endShown_) {
    std::string end = "[Stopped]";
    if (!process_->Running()) {
      // It ended on its own and the window has not caught up yet.
      view_->AppendStyled(ansi_.Feed(process_->TakeOutput(SIZE_MAX)));
      const std::string rest = ansi_.Flush();
      if (!rest.empty()) view_->AppendOutput(rest, false);
      if (std::optional<int> status = process_->ExitStatus())
        end = "[" + ExitStatusText(*status) + "]";
    }
    ShowEnd(end);
  }
  if (!process_->Running()) {
    process_.reset();
    return;
  }
  // Ending a program may take the grace of its SIGTERM: not on this thread.
  process_->Stop();
  retiring_.emplace_back(
      [p = std::shared_ptr<ConsoleProcess>(std::move(process_))]() mutable { p.reset(); });
}

int JavaConsole::Run(const std::vector<std::string>& args, const std::string& shownLine,
                     const std::string& directory) {
  Retire();
  auto live = std::make_shared<std::atomic<bool>>(true);
  auto process = std::make_unique<ConsoleProcess>([this, live] {
    if (!live->load()) return;
    QMetaObject::invokeMethod(
        this,
        [this, live] {
          if (live->load()) Drain();
        },
        Qt::QueuedConnection);
  });
  const int err = process->Start(args, directory);
  ansi_ = AnsiFilter{};
  if (err != 0) {
    // The console says the program did not start, not that an earlier one runs.
    const std::string failed = "[Could not start: " + std::string(std::strerror(err)) + "]";
    // Below what the earlier program left, which stays readable.
    if (view_->Text().StoredBytes() > 0) view_->AppendOutput("", true);
    view_->AppendOutput(shownLine, view_->Text().StoredBytes() > 0);
    view_->AppendOutput(failed, true);
    status_->setText(Q(failed));
    stop_->setEnabled(false);
    input_->setEnabled(false);
    Reveal();
    return err;
  }
  process_ = std::move(process);
  live_ = live;
  endShown_ = false;
  leftShown_ = false;
  view_->SetOutput(shownLine);
  view_->AppendOutput("", true);
  status_->setText(QStringLiteral("Running: ") + Q(shownLine));
  stop_->setEnabled(true);
  input_->setEnabled(true);
  Reveal();
  input_->setFocus();
  return 0;
}

bool JavaConsole::ProgramRunning() const {
  return process_ && process_->Running();
}

void JavaConsole::Drain() {
  if (!process_) return;
  const std::string chunk = process_->TakeOutput(kDrainChunk);
  view_->AppendStyled(ansi_.Feed(chunk));
  if (chunk.size() < kDrainChunk && process_->ExitStatus()) {
    const std::string rest = ansi_.Flush();
    if (!rest.empty()) view_->AppendOutput(rest, false);
  }
  if (chunk.size() == kDrainChunk) {
    // More may wait: let the window answer first, then go on.
    QMetaObject::invokeMethod(this, &JavaConsole::Drain, Qt::QueuedConnection);
    return;
  }
  if (endShown_) return;
  if (std::optional<int> status = process_->ExitStatus()) {
    ShowEnd("[" + ExitStatusText(*status) + "]");
    emit programEnded(*status);
  } else if (!leftShown_) {
    if (std::optional<int> own = process_->ProgramStatus()) {
      // Stop and the input stay: they reach what the program left running.
      leftShown_ = true;
      status_->setText(Q("Program ended [" + ExitStatusText(*own) +
                         "]; processes it started still run (Stop ends them)"));
    }
  }
}

void JavaConsole::StopProgram() {
  if (process_) process_->Stop();
}

void JavaConsole::EndProgram() {
  if (!process_) return;
  if (live_) live_->store(false);
  process_.reset();
  stop_->setEnabled(false);
  input_->setEnabled(false);
}

void JavaConsole::SendLine(const QString& line) {
  if (!process_ || !process_->Running() || process_->InputClosed()) {
    host_.Beep(BeepKind::Default);
    return;
  }
  const std::string bytes = line.toUtf8().toStdString();
  // The line is shown as a terminal would echo it.
  view_->AppendOutput(bytes + "\n", false);
  process_->WriteInput(bytes + "\n");
}

void JavaConsole::CloseInput() {
  if (process_) process_->CloseInput();
  input_->setEnabled(false);
}

void JavaConsole::Clear() {
  view_->SetOutput("");
}

bool JavaConsole::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Close) {
    if (ConfirmClose()) return QWidget::eventFilter(watched, event);
    event->ignore();
    return true;
  }
  if (watched == input_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier) &&
        !input_->hasSelectedText()) {
      InterruptProgram();
      return true;
    }
    if (key->key() == Qt::Key_D && (key->modifiers() & Qt::ControlModifier)) {
      if (!input_->text().isEmpty()) SendLine(input_->text());
      input_->clear();
      CloseInput();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool JavaConsole::ConfirmClose() {
  if (!ProgramRunning()) return true;
  const bool onlyLeft = process_->ProgramStatus().has_value();
  if (host_.MessageBox(onlyLeft ? kEndLeftQuestion : kEndRunningQuestion, std::string(),
                       MsgIcon::Question, MsgButtons::YesNo) != Answer::Yes)
    return false;
  EndProgram();
  status_->setText(QStringLiteral("[Stopped]"));
  return true;
}

void JavaConsole::closeEvent(QCloseEvent* event) {
  if (!ConfirmClose()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace tamso::gui
