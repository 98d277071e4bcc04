#pragma once
// The "Skeletons" dialog (template 141, for the editor views) and its designer twin
// "Program Skeletons for the Designer" (template 178, for the code wizard): the tree
// of the skeletons read from the language's file, an editable preview with the
// selection in place of "$SEL$", Insert and Cancel.

#include <QDialog>
#include <optional>
#include <string>

#include "codegen/skeleton_dialog_model.h"

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tamso::gui {

inline constexpr int kSkeletonTemplate = 141;
inline constexpr int kDesignerSkeletonTemplate = 178;

class SkeletonDialog : public QDialog {
  Q_OBJECT
 public:
  // Reads the skeleton file at once (its messages show before the dialog does).
  SkeletonDialog(int templateId, SkeletonDialogModel& model, QWidget* parent = nullptr);

  QTreeWidget* Tree() const { return tree_; }
  QPlainTextEdit* Preview() const { return preview_; }
  // The text to insert, valid after Insert: the box's text, byte for byte what the
  // skeleton and selection gave unless the user edited it.
  const std::string& Result() const { return result_; }

  // Chooses the first skeleton of that name, as a click would; false when there is none.
  bool Preselect(const std::string& name);
  // Insert is enabled only then: the root and groups have nothing to insert.
  bool SkeletonChosen() const;

  void accept() override;

 private:
  void Fill();
  void OnSelectionChanged();
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& label, int data);

  SkeletonDialogModel& model_;
  QTreeWidget* tree_ = nullptr;
  QPlainTextEdit* preview_ = nullptr;
  QPushButton* insert_ = nullptr;
  std::string shownBytes_;  // what the box was last given
  QString shownPlain_;      // ... and the text it shows for them
  std::string result_;
};

// Runs the dialog modally, with the skeleton named preselect chosen when there is one;
// the text to insert, or no value when cancelled.
std::optional<std::string> RunSkeletonDialog(int templateId, const std::string& language,
                                             const std::string& selection, IniFile& profile,
                                             IHost& host, QWidget* parent,
                                             const std::string& preselect = std::string());

// The bytes as the preview box shows them: CR LF and a lone CR become line feeds.
QString PreviewText(const std::string& bytes);

}  // namespace tamso::gui
