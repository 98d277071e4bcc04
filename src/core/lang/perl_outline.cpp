#include <string>

#include "lang/outline.h"
#include "lang/outline_reader.h"

namespace tamso {
namespace {

using lang_detail::OutlineReader;
using lang_detail::OutlineSyntax;
using lang_detail::OutlineToken;

// Calls onSub(nameToken) for the name after every "sub"; true stops the scan.
// An anonymous "sub {" names nothing.
template <class OnSub>
void ScanPerl(const ILineSource& text, const OnSub& onSub) {
  OutlineReader reader(text, OutlineSyntax::kPerl, PerlWordTable());
  for (OutlineToken t = reader.Next(); t.type != kTokenEnd; t = reader.Next()) {
    if (t.type != kTokenReserved || t.text != "sub") continue;
    const OutlineToken name = reader.Next();
    if (name.type == kTokenWord || name.type == kTokenReserved) {
      if (onSub(name)) return;
    } else {
      reader.PushBack(name);
    }
  }
}

}  // namespace

void BuildPerlOutline(const ILineSource& text, IOutlineSink& sink) {
  const int root = sink.BeginOutline("Perl");
  sink.AddOutlineItem("Requires", kOutlineImportsFolder, root);
  const int subs = sink.AddOutlineItem("Subs", kOutlineSubsFolder, root);
  ScanPerl(text, [&](const OutlineToken& name) {
    sink.AddOutlineItem(std::string(name.text), kOutlineMethod, subs);
    return false;
  });
  sink.EndOutline();
}

std::optional<int> FindPerlSub(const ILineSource& text, std::string_view memberName) {
  std::optional<int> found;
  ScanPerl(text, [&](const OutlineToken& name) {
    if (name.text != memberName) return false;
    found = name.line;
    return true;
  });
  return found;
}

}  // namespace tamso
