#include <string>

#include "lang/outline.h"
#include "lang/outline_reader.h"

namespace tamso {
namespace {

using lang_detail::OutlineReader;
using lang_detail::OutlineSyntax;
using lang_detail::OutlineToken;

bool IsDelimiter(const OutlineToken& t, char c) {
  return t.type == kTokenDelimiter && t.text[0] == c;
}

bool IsWord(const OutlineToken& t) {
  return t.type == kTokenWord || t.type == kTokenReserved;
}

// A member name is a plain word; annotations such as @Override are not members.
bool IsMemberName(const OutlineToken& t) {
  return t.type == kTokenWord && t.text[0] != '@';
}

// The scan shared by the outline and the find mode. Visitor:
//   Package(name), Import(text), Class(name), Extends(name), Implements(name),
//   bool Member(name, kind, line) - true stops the scan.
template <class Visitor>
void ScanJava(const ILineSource& text, Visitor& visitor) {
  OutlineReader reader(text, OutlineSyntax::kJava, JavaWordTable());
  int braces = 0;
  int parens = 0;
  int angles = 0;          // open "<" of type parameters at brace depth 0 and 1
  bool haveClass = false;  // a class or interface has been named
  bool inHeader = false;   // after a method's parameter list, before its body or ";"
  OutlineToken prev;
  for (OutlineToken t = reader.Next(); t.type != kTokenEnd; prev = t, t = reader.Next()) {
    const bool memberPlace = braces == 1 && haveClass && parens == 0 && angles == 0 && !inHeader;
    if (t.type == kTokenDelimiter) {
      switch (t.text[0]) {
        case '{':
          ++braces;
          angles = 0;
          inHeader = false;
          break;
        case '}':
          if (braces > 0) --braces;
          angles = 0;
          inHeader = false;
          break;
        case '(':
          if (memberPlace && IsMemberName(prev)) {
            if (visitor.Member(prev.text, kOutlineMethod, prev.line)) return;
            inHeader = true;
          }
          ++parens;
          break;
        case ')':
          if (parens > 0) --parens;
          break;
        case '<':
          if (parens == 0 && braces <= 1) ++angles;
          break;
        case '>':
          if (angles > 0) --angles;
          break;
        case ';':
        case ',':
          if (memberPlace && IsMemberName(prev)) {
            if (visitor.Member(prev.text, kOutlineField, prev.line)) return;
          }
          if (t.text[0] == ';' && parens == 0) {
            angles = 0;
            inHeader = false;
          }
          break;
        case '=':
          if (memberPlace && IsMemberName(prev)) {
            if (visitor.Member(prev.text, kOutlineField, prev.line)) return;
            // Skip the initialiser up to its ";", over any braces and parentheses it
            // holds (array initialisers, anonymous classes); a "}" closing the class
            // body ends it too and is handled as usual.
            int nest = 0;
            for (t = reader.Next(); t.type != kTokenEnd; t = reader.Next()) {
              if (t.type != kTokenDelimiter) continue;
              const char d = t.text[0];
              if (d == '{' || d == '(') {
                ++nest;
              } else if (d == '}' || d == ')') {
                if (nest == 0) {
                  reader.PushBack(t);
                  break;
                }
                --nest;
              } else if (d == ';' && nest == 0) {
                break;
              }
            }
            if (t.type == kTokenEnd) return;
          }
          break;
        default:
          break;
      }
      continue;
    }
    if (t.type != kTokenReserved || braces != 0 || parens != 0) continue;
    const std::string_view w = t.text;
    if (w == "import") {
      std::string joined;
      bool lastWasWord = false;
      OutlineToken part;
      for (part = reader.Next(); part.type != kTokenEnd; part = reader.Next()) {
        if (IsDelimiter(part, ';')) break;
        // A broken import without ";" must not swallow the class after it.
        if (IsDelimiter(part, '{') || IsDelimiter(part, '}') ||
            (part.type == kTokenReserved && part.text != "static")) {
          reader.PushBack(part);
          break;
        }
        const bool word = IsWord(part);
        if (word && lastWasWord) joined += ' ';  // import static a.b.C.d
        joined.append(part.text);
        lastWasWord = word;
      }
      if (!joined.empty()) visitor.Import(joined);
      if (part.type == kTokenEnd) return;
      continue;
    }
    const bool isClass = w == "class" || w == "interface";
    const bool isExtends = haveClass && angles == 0 && w == "extends";
    const bool isImplements = haveClass && angles == 0 && w == "implements";
    if (w != "package" && !isClass && !isExtends && !isImplements) continue;
    const OutlineToken name = reader.Next();
    if (name.type != kTokenWord) {
      reader.PushBack(name);
      continue;
    }
    if (isClass) {
      haveClass = true;
      angles = 0;
      visitor.Class(name.text);
    } else if (isExtends) {
      visitor.Extends(name.text);
    } else if (isImplements) {
      visitor.Implements(name.text);
    } else {
      visitor.Package(name.text);
    }
    t = name;
  }
}

class OutlineVisitor {
 public:
  OutlineVisitor(IOutlineSink& sink, const std::string& title)
      : sink_(sink), root_(sink.BeginOutline(title)) {
    imports_ = sink_.AddOutlineItem("Imports", kOutlineImportsFolder, root_);
  }
  void Package(std::string_view name) {
    sink_.AddOutlineItem(std::string(name), kOutlinePackage, root_);
  }
  void Import(const std::string& text) { sink_.AddOutlineItem(text, kOutlineImport, imports_); }
  void Class(std::string_view name) {
    class_ = sink_.AddOutlineItem(std::string(name), kOutlineClass, root_);
  }
  void Extends(std::string_view name) {
    sink_.AddOutlineItem(std::string(name), kOutlineExtends, class_);
  }
  void Implements(std::string_view name) {
    sink_.AddOutlineItem(std::string(name), kOutlineImplements, class_);
  }
  bool Member(std::string_view name, int kind, int /*line*/) {
    sink_.AddOutlineItem(std::string(name), kind, class_);
    return false;
  }

 private:
  IOutlineSink& sink_;
  int root_;
  int imports_ = 0;
  int class_ = 0;
};

class FindVisitor {
 public:
  FindVisitor(std::string_view className, std::string_view memberName)
      : className_(className), memberName_(memberName) {}
  void Package(std::string_view) {}
  void Import(const std::string&) {}
  void Class(std::string_view name) { inClass_ = name == className_; }
  void Extends(std::string_view) {}
  void Implements(std::string_view) {}
  bool Member(std::string_view name, int /*kind*/, int line) {
    if (!inClass_ || name != memberName_) return false;
    found = line;
    return true;
  }
  std::optional<int> found;

 private:
  std::string_view className_;
  std::string_view memberName_;
  bool inClass_ = false;
};

}  // namespace

void BuildJavaOutline(const ILineSource& text, const std::string& title, IOutlineSink& sink) {
  OutlineVisitor visitor(sink, title);
  ScanJava(text, visitor);
  sink.EndOutline();
}

std::optional<int> FindJavaMember(const ILineSource& text, std::string_view className,
                                  std::string_view memberName) {
  FindVisitor visitor(className, memberName);
  ScanJava(text, visitor);
  return visitor.found;
}

}  // namespace tamso
