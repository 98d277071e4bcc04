#include "help/help_install.h"

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/t2_app.h"
#include "app/view_commands.h"
#include "editor/print_commands.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "help/help_dialogs.h"
#include "help/help_pages.h"
#include "java/jdk_choice.h"

namespace tamso::gui {

namespace {

struct HelpState {
  DocsIndexCache cache;
  std::unique_ptr<QtHelpUi> ui;
  std::unique_ptr<HelpCommands> commands;
};

std::unique_ptr<HelpState>& State() {
  static std::unique_ptr<HelpState> state;
  return state;
}

constexpr int kViewHelpIds[] = {
    cmd::kUsingJavaHelp,    cmd::kJavaHelp,     cmd::kJavaApi,   cmd::kJavaClassHierarchy,
    cmd::kJavaLanguageSpec, cmd::kJavaManPages, cmd::kJavaSearch};

// The selected text, or the word at the caret.
std::string KeywordOf(ChildFrame& view) {
  auto* pane = dynamic_cast<SourceEditorPane*>(view.Pane());
  if (!pane || !pane->Editor()) return view.Pane()->SelectedText();
  const CLineStore& store = pane->Editor()->Store();
  const TextPos caret = store.Caret();
  std::string_view line = store.Line(caret.line);
  const int index = store.IndexAtColumn(caret.line, caret.col);
  return SearchKeyword(store.GetSelectedText(), line, static_cast<size_t>(index < 0 ? 0 : index));
}

// The JDK the help pages are for: the one chosen for the open project, else the one
// of $JAVA_HOME or of javac on PATH.
std::string HelpJdk(const IniFile& profile, const Project* project) {
  return JdkHomeForTools(ChosenJdk(profile, project), JdkEnvironment::FromProcess());
}

}  // namespace

void InstallHelpCommands(IniFile& profile, IHost& host, CT2App& app, const Project* project) {
  auto state = std::make_unique<HelpState>();
  const std::string jdk = HelpJdk(profile, project);
  state->ui = std::make_unique<QtHelpUi>(profile, host);
  state->commands = std::make_unique<HelpCommands>(profile, host, *state->ui, state->cache,
                                                   DefaultHelpDir(jdk), JdkFeatureVersion(jdk));
  HelpCommands& help = *state->commands;
  // Each command first follows the JDK chosen since.
  auto follow = [&help, &profile, project, last = jdk]() mutable {
    const std::string now = HelpJdk(profile, project);
    if (now == last) return;
    last = now;
    help.SetJdk(DefaultHelpDir(now), JdkFeatureVersion(now));
  };
  const std::string dir = help.Dir();
  if (!dir.empty() && LooksLikeApiDocs(dir)) state->cache.Prefetch(dir);

  auto shared = std::make_shared<decltype(follow)>(follow);
  auto with = [shared](auto action) {
    return [shared, action](ChildFrame& view) {
      (*shared)();
      action(view);
    };
  };
  SetViewCommand(cmd::kUsingJavaHelp, with([&help](ChildFrame& view) {
                   UsingHelpDialog dialog(help, view.window());
                   dialog.exec();
                 }));
  SetViewCommand(cmd::kJavaHelp, with([&help](ChildFrame&) { help.OpenApiIndex(); }));
  SetViewCommand(cmd::kJavaApi, with([&help](ChildFrame&) { help.OpenApiIndex(); }));
  SetViewCommand(cmd::kJavaClassHierarchy,
                 with([&help](ChildFrame&) { help.OpenClassHierarchy(); }));
  SetViewCommand(cmd::kJavaLanguageSpec, with([&help](ChildFrame&) { help.OpenLanguageSpec(); }));
  SetViewCommand(cmd::kJavaManPages, with([&help](ChildFrame&) { help.OpenManPages(); }));
  SetViewCommand(cmd::kJavaSearch,
                 with([&help](ChildFrame& view) { help.JavaSearch(KeywordOf(view)); }));
  // "Java..." also works from the class-browser pane, where the other entries are
  // disabled; it opens the same index as from the editor.
  app.SetCommandHandler(cmd::kJavaHelp, [&help, shared] {
    (*shared)();
    help.OpenApiIndex();
  });
  State() = std::move(state);
  InstallPrintCommands(profile, app);
}

void RemoveHelpCommands(CT2App& app) {
  for (int id : kViewHelpIds) SetViewCommand(id, {});
  app.SetCommandHandler(cmd::kJavaHelp, {});
  State().reset();
  RemovePrintCommands(app);
}

}  // namespace tamso::gui
