#pragma once
// The search index of a folder of Java API documentation, as javadoc writes it:
// the type and member search scripts (type-search-index.js, member-search-index.js,
// package-search-index.js for the modules of the packages) of JDK 9 and later, or the
// allclasses page of older documentation. A name is looked up the way a reader
// would type it: "String", "Map.Entry", "java.util.List", "println",
// "String.valueOf" or "draw(int)".

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tamso {

enum class DocKind : std::uint8_t { Type, Member };

struct DocEntry {
  DocKind kind = DocKind::Type;
  std::string package;    // "java.util"; empty for the unnamed package
  std::string className;  // members: "Map.Entry"; types: empty
  std::string label;      // types: "Map.Entry"; members: "get(java.lang.Object)"
  std::string url;        // relative to the documentation folder, with its anchor

  // "java.util.Map.Entry", "java.lang.String.valueOf(int)".
  std::string QualifiedName() const;
};

class DocsIndex {
 public:
  // Reads the index of the folder. False, with a sentence for the user in *error,
  // when the folder holds no index that can be read.
  bool Load(const std::string& apiDir, std::string* error);
  // The same from the texts of the scripts (tests, benchmarks); an empty member
  // text is allowed.
  void LoadScripts(std::string_view typeScript, std::string_view memberScript,
                   std::string_view packageScript);
  // The same from the text of an allclasses page.
  void LoadAllClassesPage(std::string_view html);

  // Every entry the text names, types before members, each group in order of its
  // qualified name; matched with letter case first, then without.
  std::vector<const DocEntry*> Lookup(std::string_view text) const;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const std::vector<DocEntry>& Entries() const { return entries_; }

 private:
  void Add(DocEntry entry);
  void BuildKeys();
  std::vector<const DocEntry*> Find(const std::string& key, std::string_view text,
                                    bool foldCase) const;

  std::vector<DocEntry> entries_;
  // Lower-cased simple names ("entry", "map.entry", "get") to entry numbers.
  std::unordered_multimap<std::string, std::uint32_t> keys_;
};

// The array of objects of one search script ("typeSearchIndex = [{...},...];...")
// as lists of key/value pairs. Values are JSON strings; anything else is skipped.
// Malformed text ends the list where it stops making sense.
std::vector<std::vector<std::pair<std::string, std::string>>> ParseSearchScript(
    std::string_view script);

}  // namespace tamso
