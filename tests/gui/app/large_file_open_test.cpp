// A large Java file opens with its text first: the class browser's outline follows
// from a worker, and it is the outline a rebuild on the window's thread gives.

#include <string>
#include <vector>

#include "app/child_frame.h"
#include "browser/browser_view.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"

namespace tamso::gui {
namespace {

class LargeFileOpen : public testing::ShellTest {
 protected:
  LargeFileOpen() { realEditors = true; }

  static std::vector<std::string> Labels(const CBrowserView& tree) {
    std::vector<std::string> labels;
    for (const OutlineNode& n : tree.Shown().Nodes()) labels.push_back(n.label);
    return labels;
  }
};

TEST_F(LargeFileOpen, TheOutlineOfALargeFileComesFromAWorkerAndIsTheSame) {
  Start();
  std::string text = "package big;\n/* a comment\n   over two lines */\n";
  const int classes = SourceEditorPane::kLargeOutlineLines / 4 + 10;
  for (int i = 0; i < classes; ++i)
    text += "class C" + std::to_string(i) + " {\n  int f;\n  void m() {}\n}\n";
  ChildFrame* child = window()->OpenDocumentFile(File("Big.java", text));
  ASSERT_NE(child, nullptr);
  auto* pane = static_cast<SourceEditorPane*>(child->Pane());
  // The text is there and coloured as soon as the file is open.
  EXPECT_EQ(pane->Editor()->Store().LineCount(), 3 + 4 * classes);
  EXPECT_FALSE(pane->IsModified());
  auto* tree = qobject_cast<CBrowserView*>(child->BrowserPane());
  ASSERT_NE(tree, nullptr);
  tree->WaitForRebuild();
  const std::vector<std::string> fromWorker = Labels(*tree);
  ASSERT_FALSE(fromWorker.empty());
  EXPECT_EQ(fromWorker.front(), "Big.java");
  EXPECT_GT(fromWorker.size(), static_cast<size_t>(classes));
  // "Refresh Class Tree" builds it on the window's thread: the same tree.
  pane->BuildOutline();
  EXPECT_EQ(Labels(*tree), fromWorker);

  // A small file's outline is there at once, as before.
  ChildFrame* small = window()->OpenDocumentFile(File("Small.java", "class S {\n  int g;\n}\n"));
  ASSERT_NE(small, nullptr);
  auto* smallTree = qobject_cast<CBrowserView*>(small->BrowserPane());
  ASSERT_NE(smallTree, nullptr);
  ASSERT_FALSE(smallTree->Shown().Nodes().empty());
  EXPECT_EQ(smallTree->Shown().Node(0).label, "Small.java");
}

}  // namespace
}  // namespace tamso::gui
