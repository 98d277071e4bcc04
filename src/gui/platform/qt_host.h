#pragma once
// The Qt side of the host: message boxes, beeps, the wait cursor and the standard
// dialogs. Documents, views and the output window belong to the main window, which
// plugs itself in as the host's site.

#include <QFile>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/display_text.h"
#include "platform/host.h"

namespace tamso::gui {

class HostSite {
 public:
  virtual ~HostSite() = default;
  virtual IView* OpenDocument(const std::string& path) = 0;
  virtual IView* ActiveView() = 0;
  virtual IDocument* ActiveDocument() = 0;
  virtual IOutput& Output() = 0;
  // The open project's file; empty when there is none.
  virtual std::string ProjectFile() { return {}; }
};

class QtHost : public IHost {
 public:
  QtHost() = default;

  // The window dialogs are centred on (and modal to).
  void SetParentWindow(QWidget* window) { parent_ = window; }
  QWidget* ParentWindow() const { return parent_; }
  // While set, message boxes belong to this window (a dialog whose request they
  // answer), so that the focus goes back to it when they close.
  void SetMessageParent(QWidget* window) { messageParent_ = window; }
  void SetSite(HostSite* site) { site_ = site; }
  // The caption used when a message box is given none.
  void SetApplicationTitle(const QString& title) { appTitle_ = title; }

  Answer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override;
  void Beep(BeepKind kind) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override;
  std::vector<std::string> OpenFilesDialog(const FileDialogOptions& options) override;
  std::optional<std::string> FolderDialog(const FileDialogOptions& options) override;
  std::optional<std::uint32_t> ColorDialog(std::uint32_t initial) override;
  IView* OpenDocument(const std::string& path) override;
  IView* ActiveView() override;
  IDocument* ActiveDocument() override;
  IOutput& Output() override;
  void ShowStatus(const std::string& text) override;
  // A window-modal progress dialog with Cancel, shown once the task has taken a
  // moment; each update lets the windows repaint (at most every few milliseconds).
  std::unique_ptr<IProgress> BeginProgress(const std::string& title) override;

  // "Java Files (*.java)|*.java|All Files (*)|*" as a Qt name filter list.
  static QString ToQtFilter(const std::string& filter);

 private:
  class NullOutput : public IOutput {
   public:
    void SetOutput(const std::string&) override {}
    void AppendOutput(const std::string&, bool) override {}
  };
  QPointer<QWidget> parent_;
  QPointer<QWidget> messageParent_;
  HostSite* site_ = nullptr;
  // The folder a file dialog starts in when its caller names none.
  std::string DialogStart();
  QString appTitle_ = QStringLiteral("Tamso");
  std::string lastDialogDir_;
  NullOutput nullOutput_;
};

// QString <-> std::string as UTF-8 (paths and texts of the core are UTF-8 bytes).
inline QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
inline std::string S(const QString& s) {
  return s.toUtf8().toStdString();
}
// A text for a message box or a tip: cut to a size a person can read and a window
// can lay out at once (see ElideForDisplay), as UTF-8.
inline QString QDisplay(const std::string& text) {
  return Q(ElideForDisplay(text));
}
// A file path between the core (the bytes the system gives) and Qt.
inline QString QPath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}
inline std::string SPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace tamso::gui
