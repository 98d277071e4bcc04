#include <deque>
#include <string>
#include <vector>

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

// Words that are keywords in every position, whether or not the colour table knows them.
bool IsHardKeyword(std::string_view w) {
  return w == "enum" || w == "assert" || w == "strictfp" || w == "volatile" || w == "transient" ||
         w == "native" || w == "synchronized" || w == "default" || w == "const" || w == "goto";
}

// Words that are keywords only in some places and may name a field or method elsewhere.
bool IsContextualKeyword(std::string_view w) {
  return w == "var" || w == "record" || w == "sealed" || w == "permits" || w == "yield" ||
         w == "non" || w == "when" || w == "module" || w == "open" || w == "exports" ||
         w == "opens" || w == "requires" || w == "uses" || w == "provides" || w == "to" ||
         w == "with" || w == "transitive";
}

// A member name is a plain word; annotations such as @Override are not members, nor
// is a dotted name.
bool IsMemberName(const OutlineToken& t) {
  if (t.type == kTokenReserved && !IsContextualKeyword(t.text)) return false;
  if (t.type != kTokenWord && t.type != kTokenReserved) return false;
  if (t.text[0] == '@' || IsHardKeyword(t.text)) return false;
  return t.text.find('.') == std::string_view::npos;
}

bool IsAnnotation(const OutlineToken& t) {
  return IsWord(t) && t.text[0] == '@' && t.text != "@interface";
}

// The scan shared by the outline and the find mode. It follows the nesting of type
// declarations: a type declared in a type's body is a child of it, at any depth;
// method bodies, initialisers and the bodies of enum constants and anonymous classes
// are skipped whole. Visitor:
//   Package(name), Import(text), BeginClass(name, line), EndClass(),
//   Extends(name), Implements(name), bool Member(name, kind, line) - true stops.
template <class Visitor>
class JavaScanner {
 public:
  JavaScanner(const ILineSource& text, Visitor& visitor)
      : reader_(text, OutlineSyntax::kJava, JavaWordTable()), visitor_(visitor) {}

  void Run() {
    while (!stopped_) {
      const OutlineToken t = Next();
      if (t.type == kTokenEnd) return;
      if (t.type == kTokenDelimiter) {
        // A stray block at the top level (a module declaration, broken text) is
        // passed over whole; stray closers do no harm.
        if (IsDelimiter(t, '{')) SkipBalanced('{', '}');
        continue;
      }
      if (!IsWord(t)) continue;
      if (t.text == "package" && t.type == kTokenReserved) {
        const OutlineToken name = Next();
        if (name.type == kTokenWord) {
          visitor_.Package(name.text);
        } else {
          PushBack(name);
        }
        continue;
      }
      if (t.text == "import" && t.type == kTokenReserved) {
        Import();
        continue;
      }
      if (IsAnnotation(t)) {
        SkipAnnotationArguments();
        continue;
      }
      if (IsTypeStart(t)) TypeDeclaration(t);
    }
  }

 private:
  OutlineToken Next() {
    if (!ahead_.empty()) {
      const OutlineToken t = ahead_.front();
      ahead_.pop_front();
      return t;
    }
    return reader_.Next();
  }
  void PushBack(const OutlineToken& t) { ahead_.push_front(t); }
  const OutlineToken& Peek(std::size_t k) {
    while (ahead_.size() <= k) ahead_.push_back(reader_.Next());
    return ahead_[k];
  }
  bool Member(std::string_view name, int kind, int line, std::string_view label = {}) {
    if (visitor_.Member(name, kind, line, label.empty() ? name : label)) stopped_ = true;
    return stopped_;
  }

  void Import() {
    std::string joined;
    bool lastWasWord = false;
    for (;;) {
      const OutlineToken part = Next();
      if (part.type == kTokenEnd || IsDelimiter(part, ';')) break;
      // A broken import without ";" must not swallow the class after it.
      if (IsDelimiter(part, '{') || IsDelimiter(part, '}') ||
          (part.type == kTokenReserved && part.text != "static")) {
        PushBack(part);
        break;
      }
      const bool word = IsWord(part);
      if (word && lastWasWord) joined += ' ';  // import static a.b.C.d
      joined.append(part.text);
      lastWasWord = word;
    }
    if (!joined.empty()) visitor_.Import(joined);
  }

  // class, interface, enum, @interface, and record when a name and "(" or "<" follow.
  bool IsTypeStart(const OutlineToken& t) {
    if (!IsWord(t)) return false;
    const std::string_view w = t.text;
    if (w == "class" || w == "interface" || w == "enum" || w == "@interface")
      return Peek(0).type == kTokenWord || IsContextualWord(Peek(0));
    if (w != "record") return false;
    return IsMemberName(Peek(0)) && (IsDelimiter(Peek(1), '(') || IsDelimiter(Peek(1), '<'));
  }
  static bool IsContextualWord(const OutlineToken& t) {
    return t.type == kTokenReserved && IsContextualKeyword(t.text);
  }

  void TypeDeclaration(const OutlineToken& keyword) {
    const OutlineToken name = Next();
    const bool isEnum = keyword.text == "enum";
    const bool isRecord = keyword.text == "record";
    visitor_.BeginClass(name.text, name.line);
    bool sawExtends = false;
    bool sawImplements = false;
    std::string recordSignature;
    for (;;) {
      const OutlineToken t = Next();
      if (t.type == kTokenEnd) {
        stopped_ = true;
        break;
      }
      if (IsDelimiter(t, '{')) {
        Body(name.text, isEnum, isRecord, recordSignature);
        break;
      }
      if (IsDelimiter(t, ';') || IsDelimiter(t, '}')) {
        if (IsDelimiter(t, '}')) PushBack(t);
        break;
      }
      if (IsDelimiter(t, '<')) {
        SkipAngles();
      } else if (IsDelimiter(t, '(')) {
        if (isRecord) {
          RecordComponents(recordSignature);
        } else {
          SkipBalanced('(', ')');
        }
      } else if (IsAnnotation(t)) {
        SkipAnnotationArguments();
      } else if (IsWord(t) && (t.text == "extends" || t.text == "implements")) {
        const bool extends = t.text == "extends";
        const OutlineToken super = Next();
        if (super.type != kTokenWord) {
          PushBack(super);
        } else if (extends && !sawExtends) {
          visitor_.Extends(super.text);
          sawExtends = true;
        } else if (!extends && !sawImplements) {
          visitor_.Implements(super.text);
          sawImplements = true;
        }
      }
      if (stopped_) break;
    }
    visitor_.EndClass();
  }

  // One parameter of a method or record header: its type as written (annotations,
  // modifiers and the name left out) and its name.
  struct Parameter {
    std::string type;
    OutlineToken name;
  };

  // After the "(" of a parameter list: through its ")", the parameters. A record
  // header that meets "{", "}" or ";" is broken: that token is handed back and the
  // body decides. A method's list is read to its ")" whatever it holds.
  std::vector<Parameter> ParameterList(bool recordHeader) {
    std::vector<Parameter> out;
    std::vector<OutlineToken> tokens;  // of the parameter being read
    int parens = 1;
    int angles = 0;
    while (!stopped_) {
      const OutlineToken t = Next();
      if (t.type == kTokenEnd) {
        stopped_ = true;
        break;
      }
      if (IsAnnotation(t)) {
        SkipAnnotationArguments();
        continue;
      }
      if (t.type == kTokenDelimiter) {
        const char d = t.text[0];
        if (d == '(') {
          ++parens;
        } else if (d == ')') {
          if (--parens == 0) break;
        } else if (d == '<') {
          ++angles;
        } else if (d == '>') {
          if (angles > 0) --angles;
        } else if (d == ',' && parens == 1 && angles == 0) {
          AddParameter(tokens, out);
          continue;
        } else if (recordHeader && (d == '{' || d == '}' || d == ';')) {
          PushBack(t);
          break;
        }
      }
      if (tokens.size() < kMaxParameterTokens) tokens.push_back(t);
    }
    AddParameter(tokens, out);
    return out;
  }
  static constexpr std::size_t kMaxParameterTokens = 64;

  // tokens: one parameter, "final @A Map<K, V> name[]"; appends it to out unless it
  // is no parameter (empty, or a receiver parameter "Outer this").
  static void AddParameter(std::vector<OutlineToken>& tokens, std::vector<Parameter>& out) {
    std::size_t end = tokens.size();
    std::string dims;  // "int a[]" is an int[]
    while (end >= 2 && IsDelimiter(tokens[end - 1], ']') && IsDelimiter(tokens[end - 2], '[')) {
      dims += "[]";
      end -= 2;
    }
    if (end == 0 || !IsWord(tokens[end - 1])) {
      tokens.clear();
      return;
    }
    const OutlineToken name = tokens[end - 1];
    const std::string_view n = name.text;
    const bool receiver = n == "this" || (n.size() > 5 && n.substr(n.size() - 5) == ".this");
    std::string type;
    const OutlineToken* last = nullptr;
    for (std::size_t i = 0; i + 1 < end; ++i) {
      const OutlineToken& t = tokens[i];
      if (type.empty() && IsWord(t) && t.text == "final") continue;
      const bool word = IsWord(t) || IsDelimiter(t, '?');
      if (last && word && (IsWord(*last) || IsDelimiter(*last, '?'))) type += ' ';
      type.append(t.text);
      if (IsDelimiter(t, ',')) type += ' ';
      last = &t;
    }
    tokens.clear();
    if (receiver || type.empty()) return;
    out.push_back({type + dims, name});
  }

  // The types of parameters, joined as a label shows them: "(int, String...)".
  static std::string Signature(const std::vector<Parameter>& params) {
    std::string out = "(";
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (i) out += ", ";
      out += params[i].type;
    }
    return out + ")";
  }

  // The components of a record header, after its "(": each is a field. Their types
  // make the label of a compact constructor.
  void RecordComponents(std::string& signature) {
    const std::vector<Parameter> params = ParameterList(true);
    for (const Parameter& p : params)
      if (IsMemberName(p.name) && Member(p.name.text, kOutlineField, p.name.line)) return;
    signature = Signature(params);
  }

  // A type's body, after its "{", through its "}".
  void Body(std::string_view typeName, bool isEnum, bool isRecord,
            const std::string& recordSignature) {
    if (isEnum && !EnumConstants()) return;
    OutlineToken prev;  // the last word of the declaration being read
    while (!stopped_) {
      const OutlineToken t = Next();
      if (t.type == kTokenEnd) {
        stopped_ = true;
        return;
      }
      if (t.type == kTokenString) {
        prev = {};
        continue;
      }
      if (t.type != kTokenDelimiter) {
        if (IsTypeStart(t)) {
          TypeDeclaration(t);
          prev = {};
        } else if (IsAnnotation(t)) {
          SkipAnnotationArguments();
        } else {
          prev = t;
        }
        continue;
      }
      switch (t.text[0]) {
        case '}':
          return;
        case '{':
          // A compact constructor of a record, else an initialiser block.
          if (isRecord && IsMemberName(prev) && prev.text == typeName &&
              Member(prev.text, kOutlineMethod, prev.line,
                     std::string(prev.text) + recordSignature))
            return;
          SkipBalanced('{', '}');
          prev = {};
          break;
        case '<':
          SkipAngles();
          prev = {};
          break;
        case '(':
          if (IsMemberName(prev)) {
            const OutlineToken name = prev;
            const std::string label = std::string(name.text) + Signature(ParameterList(false));
            if (Member(name.text, kOutlineMethod, name.line, label)) return;  // or the text ended
            MethodRest();
          } else {
            SkipBalanced('(', ')');
          }
          prev = {};
          break;
        case '=':
          if (IsMemberName(prev) && Member(prev.text, kOutlineField, prev.line)) return;
          SkipInitialiser();
          prev = {};
          break;
        case ',':
        case ';':
          if (IsMemberName(prev) && Member(prev.text, kOutlineField, prev.line)) return;
          prev = {};
          break;
        case '[':
        case ']':
          break;  // int a[]; keeps its name
        default:
          prev = {};
          break;
      }
    }
  }

  // The constants at the head of an enum's body, through the ";" after them. False
  // when the body ended there.
  bool EnumConstants() {
    while (!stopped_) {
      OutlineToken t = Next();
      if (t.type == kTokenEnd) {
        stopped_ = true;
        return false;
      }
      if (IsDelimiter(t, '}')) return false;
      if (IsDelimiter(t, ';')) return true;
      if (IsDelimiter(t, ',')) continue;
      if (IsAnnotation(t)) {
        SkipAnnotationArguments();
        continue;
      }
      if (!IsMemberName(t)) {
        // Not a constant: a body without constants; read it as members.
        PushBack(t);
        return true;
      }
      if (Member(t.text, kOutlineField, t.line)) return false;
      if (IsDelimiter(Peek(0), '(')) {
        Next();
        SkipBalanced('(', ')');
      }
      if (IsDelimiter(Peek(0), '{')) {
        Next();
        SkipBalanced('{', '}');
      }
    }
    return false;
  }

  // After a method's parameter list: throws, a default value, then its body or ";".
  void MethodRest() {
    for (OutlineToken t; NextDelimiter(t);) {
      if (IsDelimiter(t, '{')) {
        SkipBalanced('{', '}');
        // An annotation element's array default, "default { ... };", ends at ";".
        if (IsDelimiter(Peek(0), ';')) Next();
        return;
      }
      if (IsDelimiter(t, ';')) return;
      if (IsDelimiter(t, '}')) {
        PushBack(t);
        return;
      }
      if (IsDelimiter(t, '(')) SkipBalanced('(', ')');
    }
  }

  // The next delimiter into t, passing over other tokens; false at the end of the
  // text, which stops the scan.
  bool NextDelimiter(OutlineToken& t) {
    for (t = Next(); t.type != kTokenDelimiter; t = Next()) {
      if (t.type == kTokenEnd) {
        stopped_ = true;
        return false;
      }
    }
    return true;
  }

  // After "=": to the "," or ";" that ends the declarator, over any brackets of the
  // initialiser (array initialisers, anonymous classes, lambdas). A "}" or ")" that
  // closes more than it opened ends it too and is handed back.
  void SkipInitialiser() {
    int nest = 0;
    for (OutlineToken t; NextDelimiter(t);) {
      const char d = t.text[0];
      if (d == '{' || d == '(' || d == '[') {
        ++nest;
      } else if (d == '}' || d == ')' || d == ']') {
        if (nest == 0) {
          PushBack(t);
          return;
        }
        --nest;
      } else if ((d == ';' || d == ',') && nest == 0) {
        PushBack(t);
        return;
      }
    }
  }

  // After an opening bracket: through its matching closer (other brackets inside do
  // not count; literals are single tokens).
  void SkipBalanced(char open, char close) {
    int depth = 1;
    for (OutlineToken t; NextDelimiter(t);) {
      if (t.text[0] == open) {
        ++depth;
      } else if (t.text[0] == close && --depth == 0) {
        return;
      }
    }
  }

  // After "<" of type parameters or arguments: through its matching ">". A brace,
  // ";" or "=" means it was no type argument list: it is handed back.
  void SkipAngles() {
    int depth = 1;
    for (OutlineToken t; NextDelimiter(t);) {
      const char d = t.text[0];
      if (d == '<') {
        ++depth;
      } else if (d == '>') {
        if (--depth == 0) return;
      } else if (d == '{' || d == '}' || d == ';' || d == '=') {
        PushBack(t);
        return;
      } else if (d == '(') {
        SkipBalanced('(', ')');  // an annotation on a type argument
      }
    }
  }

  void SkipAnnotationArguments() {
    if (IsDelimiter(Peek(0), '(')) {
      Next();
      SkipBalanced('(', ')');
    }
  }

  OutlineReader reader_;
  Visitor& visitor_;
  std::deque<OutlineToken> ahead_;
  bool stopped_ = false;
};

template <class Visitor>
void ScanJava(const ILineSource& text, Visitor& visitor) {
  JavaScanner<Visitor> scanner(text, visitor);
  scanner.Run();
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
  void BeginClass(std::string_view name, int /*line*/) {
    const int parent = classes_.empty() ? root_ : classes_.back();
    classes_.push_back(sink_.AddOutlineItem(std::string(name), kOutlineClass, parent));
  }
  void EndClass() {
    if (!classes_.empty()) classes_.pop_back();
  }
  void Extends(std::string_view name) {
    sink_.AddOutlineItem(std::string(name), kOutlineExtends, classes_.back());
  }
  void Implements(std::string_view name) {
    sink_.AddOutlineItem(std::string(name), kOutlineImplements, classes_.back());
  }
  bool Member(std::string_view /*name*/, int kind, int /*line*/, std::string_view label) {
    sink_.AddOutlineItem(std::string(label), kind, classes_.back());
    return false;
  }

 private:
  IOutlineSink& sink_;
  int root_;
  int imports_ = 0;
  std::vector<int> classes_;  // the enclosing classes, innermost last
};

class FindVisitor {
 public:
  FindVisitor(std::string_view className, std::string_view memberName)
      : className_(className), memberName_(memberName) {}
  void Package(std::string_view) {}
  void Import(const std::string&) {}
  void BeginClass(std::string_view name, int /*line*/) { inClass_.push_back(name == className_); }
  void EndClass() {
    if (!inClass_.empty()) inClass_.pop_back();
  }
  void Extends(std::string_view) {}
  void Implements(std::string_view) {}
  // memberName is a label ("area(int, int)", which tells overloads apart) or a bare name.
  bool Member(std::string_view name, int /*kind*/, int line, std::string_view label) {
    if (inClass_.empty() || !inClass_.back()) return false;
    if (label != memberName_ && name != memberName_) return false;
    found = line;
    return true;
  }
  std::optional<int> found;

 private:
  std::string_view className_;
  std::string_view memberName_;
  std::vector<bool> inClass_;
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
