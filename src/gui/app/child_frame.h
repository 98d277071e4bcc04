#pragma once
// A document window: the small toolbar with its read-only box, then for Java and
// Perl documents a splitter with the class-browser pane on the left and the editor
// pane on the right; for HTML documents the editor pane alone.

#include <QPointer>
#include <QWidget>

#include "app/command_router.h"
#include "editor/editor_pane.h"

class QLineEdit;
class QMdiSubWindow;
class QSplitter;
class QToolBar;

namespace tamso::gui {

class MainWindow;
class SourceDocument;

class ChildFrame : public QWidget, public IView {
  Q_OBJECT
 public:
  ChildFrame(SourceDocument* document, EditorPane* pane, int browserWidth, MainWindow* main);
  ~ChildFrame() override;

  ViewKind Kind() const override { return kind_; }
  IDocument* Document() override;
  void GoToLine(int line) override;
  void GoToLineCharacter(int line, int character) override;

  SourceDocument* Doc() const { return document_; }
  EditorPane* Pane() const { return pane_; }
  // The class-browser pane (null for HTML windows).
  QWidget* BrowserPane() const { return browser_; }
  QSplitter* Splitter() const { return splitter_; }
  QToolBar* ToolBar() const { return toolBar_; }
  QLineEdit* InfoBox() const { return infoBox_; }
  QMdiSubWindow* SubWindow() const;

  // Routing targets: the active view (the editor pane, also while the browser pane has
  // the focus) and the frame itself.
  ICommandTarget* ViewTarget();
  ICommandTarget* FrameTarget() { return &frameCommands_; }

  // Closing without the save prompt (the document is being closed as a whole).
  void SetClosingWithoutPrompt() { noPrompt_ = true; }
  void UpdateTitle();
  void UpdateToolBar();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class PaneTarget : public ICommandTarget {
   public:
    PaneTarget(ChildFrame& frame) : frame_(frame) {}
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;
    CommandState OnUpdateCommand(int id) override;

   private:
    ChildFrame& frame_;
  };
  void CreateToolBar();
  void SwitchPane();

  SourceDocument* document_;
  EditorPane* pane_;
  MainWindow* main_;
  ViewKind kind_;
  QToolBar* toolBar_ = nullptr;
  QLineEdit* infoBox_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QWidget* browser_ = nullptr;
  PaneTarget paneTarget_{*this};
  CommandMap frameCommands_;
  bool noPrompt_ = false;
};

}  // namespace tamso::gui
