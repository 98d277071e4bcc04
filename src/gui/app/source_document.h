#pragma once
// A document: a file shown in one or more windows. It holds no text of its own;
// the first window's editor pane loads and saves it.

#include <QObject>
#include <string>
#include <vector>

#include "app/command_router.h"
#include "platform/host.h"

namespace tamso::gui {

class ChildFrame;
class MainWindow;
class EditorPane;

class SourceDocument : public QObject, public IDocument, public CommandMap {
  Q_OBJECT
 public:
  SourceDocument(size_t templateIndex, MainWindow* main);

  std::string PathName() const override { return path_; }
  std::string Title() const override { return title_; }
  bool IsModified() const override;
  bool Save() override;

  size_t TemplateIndex() const { return templateIndex_; }
  ViewKind Kind() const;
  void SetPathName(const std::string& path);
  void SetTitle(const std::string& title) { title_ = title; }
  // The windows showing the document, the first one's pane holding the text.
  const std::vector<ChildFrame*>& Views() const { return views_; }
  void AddView(ChildFrame* view) { views_.push_back(view); }
  void RemoveView(ChildFrame* view);
  EditorPane* FirstPane() const;

 private:
  size_t templateIndex_;
  MainWindow* main_;
  std::string path_;
  std::string title_;
  std::vector<ChildFrame*> views_;
};

}  // namespace tamso::gui
