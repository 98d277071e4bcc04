#include "codegen/code_wizard.h"

#include <algorithm>
#include <string_view>

#include "platform/host.h"

namespace tamso {

const std::vector<std::string>& AwtEventNames() {
  static const std::vector<std::string> kNames = {
      "WINDOW_DESTROY",     "WINDOW_EXPOSE",    "WINDOW_ICONIFY", "WINDOW_DEICONIFY",
      "WINDOW_MOVED",       "KEY_PRESS",        "KEY_RELEASE",    "KEY_ACTION",
      "KEY_ACTION_RELEASE", "MOUSE_EVENT",      "MOUSE_DOWN",     "MOUSE_UP",
      "MOUSE_MOVE",         "MOUSE_ENTER",      "MOUSE_EXIT",     "MOUSE_DRAG",
      "SCROLL_LINE_UP",     "SCROLL_LINE_DOWN", "SCROLL_PAGE_UP", "SCROLL_PAGE_DOWN",
      "SCROLL_ABSOLUTE",    "LIST_SELECT",      "LIST_DESELECT",  "ACTION_EVENT",
      "LOAD_FILE",          "SAVE_FILE",        "GOT_FOCUS",      "LOST_FOCUS"};
  return kNames;
}

std::vector<std::string> SortedAwtEventNames() {
  std::vector<std::string> names = AwtEventNames();
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> EventsForComponent(const std::string& component) {
  if (component.empty()) return {};
  return SortedAwtEventNames();
}

const JavaClassInfo* WizardPage::FindClass(const std::string& name) const {
  for (const JavaClassInfo& c : classes)
    if (c.name == name) return &c;
  return nullptr;
}

std::vector<std::string> WizardPage::ComponentsOf(const std::string& className) const {
  const JavaClassInfo* c = FindClass(className);
  if (!c) return {};
  std::vector<std::string> out = c->components;
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> WizardPage::MethodsOf(const std::string& className) const {
  const JavaClassInfo* c = FindClass(className);
  return c ? c->methods : std::vector<std::string>();
}

WizardPage MakeWizardPage(const std::string& fileName, const ILineSource& text) {
  WizardPage page;
  page.file = fileName;
  page.classes = ReadJavaClasses(text);
  std::stable_sort(page.classes.begin(), page.classes.end(),
                   [](const JavaClassInfo& a, const JavaClassInfo& b) { return a.name < b.name; });
  return page;
}

const std::vector<std::string>& NewClassTypes() {
  static const std::vector<std::string> kTypes = {
      "Applet", "Dialog", "Panel", "Main Program with Frame", "Frame", "Hybrid Applet/Main",
      "Window"};
  return kTypes;
}

std::string NewClassTypeName(int typeIndex) {
  const std::vector<std::string>& types = NewClassTypes();
  if (typeIndex < 0 || static_cast<std::size_t>(typeIndex) >= types.size()) return {};
  return types[static_cast<std::size_t>(typeIndex)];
}

std::string NewClassDocumentName(const NewClassChoice& choice) {
  std::string_view field = choice.sourceFile;
  while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  if (field == NewClassChoice().sourceFile) return choice.className;
  const std::size_t slash = field.find_last_of('/');
  if (slash != std::string_view::npos) field.remove_prefix(slash + 1);
  return field.empty() ? choice.className : std::string(field);
}

void CreateNewClass(IHost& host, const NewClassDialogs& dialogs) {
  const std::optional<NewClassChoice> choice = dialogs.askNewClass(NewClassChoice());
  if (!choice) return;
  const std::string text =
      dialogs.chooseSkeleton(choice->className, NewClassTypeName(choice->typeIndex))
          .value_or(std::string());
  host.Message(text);
  if (!text.empty() && dialogs.openAsDocument)
    dialogs.openAsDocument(NewClassDocumentName(*choice), text);
}

}  // namespace tamso
