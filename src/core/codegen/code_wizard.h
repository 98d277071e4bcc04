#pragma once
// The code wizard's page apart from its widgets: the AWT event names a component
// offers, what the page lists for the active Java document, and the flow that
// creates a new class from a designer skeleton.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "codegen/java_classes.h"

namespace tamso {

class IHost;
class ILineSource;

// The 28 AWT event names in the order the page adds them.
const std::vector<std::string>& AwtEventNames();
// The same names as the sorted event list shows them.
std::vector<std::string> SortedAwtEventNames();
// The event list after the component selection changed: the names when a component
// is selected, nothing when none is.
std::vector<std::string> EventsForComponent(const std::string& component);

// What the page shows for a document: the file field and the classes.
struct WizardPage {
  std::string file;
  std::vector<JavaClassInfo> classes;  // sorted by name, as the class box shows them

  const JavaClassInfo* FindClass(const std::string& name) const;
  // The sorted component list and the member-function list of a class.
  std::vector<std::string> ComponentsOf(const std::string& className) const;
  std::vector<std::string> MethodsOf(const std::string& className) const;
};
// fileName is the document's path, or its title while it has none.
WizardPage MakeWizardPage(const std::string& fileName, const ILineSource& text);

// The "Create new class" dialog's fields.
struct NewClassChoice {
  std::string className = "Unknown";
  std::string sourceFile = "This FileName";
  int typeIndex = -1;  // into NewClassTypes(), -1 when none is chosen
};
// The types of class the dialog offers, as its initial data lists them.
const std::vector<std::string>& NewClassTypes();
// The type's name, "" for none; the designer skeletons are named after the types.
std::string NewClassTypeName(int typeIndex);
// The name of the new document: the file name of the source file field, or the class
// name while the field is empty or still holds its "This FileName" placeholder.
std::string NewClassDocumentName(const NewClassChoice& choice);

// The dialogs the flow runs; no value means the user cancelled.
struct NewClassDialogs {
  std::function<std::optional<NewClassChoice>(const NewClassChoice& initial)> askNewClass;
  // The designer skeleton dialog with className standing for "$SEL$" and the skeleton
  // named typeName (the chosen type of class, "" for none) chosen at the start.
  std::function<std::optional<std::string>(const std::string& className,
                                           const std::string& typeName)>
      chooseSkeleton;
  // Opens the text as a new, unsaved Java document of that name.
  std::function<void(const std::string& documentName, const std::string& text)> openAsDocument;
};

// "Create new class...": asks for the class, runs the designer skeletons, shows the
// text in a message box and then opens it as a new document (when there is one).
void CreateNewClass(IHost& host, const NewClassDialogs& dialogs);

}  // namespace tamso
