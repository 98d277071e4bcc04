#include "codegen/code_wizard.h"

#include <algorithm>

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

void CreateNewClass(IHost& host, const NewClassDialogs& dialogs) {
  const std::optional<NewClassChoice> choice = dialogs.askNewClass(NewClassChoice());
  if (!choice) return;
  const std::string text = dialogs.chooseSkeleton(choice->className).value_or(std::string());
  host.Message(text);
  if (!text.empty() && dialogs.openAsDocument) dialogs.openAsDocument(choice->className, text);
}

}  // namespace tamso
