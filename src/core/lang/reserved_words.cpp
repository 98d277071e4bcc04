#include "lang/reserved_words.h"

namespace tamso {
namespace {

constexpr std::string_view kJava[] = {
    "abstract",
    "boolean",
    "break",
    "byte",
    "byvalue",
    "case",
    "catch",
    "char",
    "class",
    "const",
    "continue",
    "default",
    "do",
    "double",
    "else",
    "extends",
    "false",
    "final",
    "finally",
    "float",
    "for",
    "goto",
    "if",
    "implements",
    "import",
    "instanceof",
    "int",
    "interface",
    "long",
    "native",
    "new",
    "null",
    "package",
    "private",
    "protected",
    "public",
    "return",
    "short",
    "static",
    "super",
    "switch",
    "synchronized",
    "this",
    "threadsafe",
    "throw",
    "throws",
    "transient",
    "true",
    "try",
    "void",
    "while",
    // Words of the language added since: keywords, and the contextual words that
    // open today's declarations and statements.
    "assert",
    "enum",
    "strictfp",
    "volatile",
    "var",
    "record",
    "sealed",
    "permits",
    "yield",
};

constexpr std::string_view kHtml[] = {
    "HTML",       "HREF",      "A",        "TITLE",       "HEAD",        "BODY",    "ISINDEX",
    "BASE",       "LINK",      "META",     "NEXTID",      "PROMPT",      "ALIGN",   "LEFT",
    "RIGHT",      "CENTER",    "SIZE",     "WIDTH",       "HEIGHT",      "NOSHADE", "H1",
    "H2",         "H3",        "H4",       "H5",          "H6",          "P",       "ADDRESS",
    "BLOCKQUOTE", "PRE",       "BR",       "HR",          "B",           "I",       "S",
    "TT",         "BLINK",     "FONT",     "BASEFONT",    "EM",          "STRONG",  "CITE",
    "CODE",       "KBD",       "SAMP",     "VAR",         "LI",          "UL",      "OL",
    "MENU",       "DT",        "DD",       "DL",          "TYPE",        "DISC",    "CIRCLE",
    "SQUARE",     "SRC",       "IMG",      "TOP",         "BOTTOM",      "MIDDLE",  "ALT",
    "ISMAP",      "FORM",      "METHOD",   "TYPE",        "GET",         "POST",    "SELECT",
    "MULTIPLE",   "OPTION",    "SELECTED", "TEXTAREA",    "ROWS",        "COLS",    "CHECKED",
    "MAXLENGTH",  "TABLE",     "BORDER",   "VALIGN",      "TD",          "TH",      "NOWRAP",
    "COLSPAN",    "ROWSPAN",   "CAPTION",  "CELLSPACING", "CELLPADDING", "TEXTTOP", "ABSMIDDLE",
    "BASELINE",   "ABSBOTTOM", "HSPACE",   "VSPACE",      "LOWSRC",      "BGCOLOR", "BACKGROUND",
    "LINK",       "VLINK",     "ALINK",    "NOBR",        "WBR",         "APPLET",  "PARAM",
    "VALUE",
};

// Spelled as the editor has always stored them (some are not Perl built-ins).
constexpr std::string_view kPerl[] = {
    "if",
    "unless",
    "while",
    "until",
    "for",
    "foreach",
    "continue",
    "else",
    "elsif",
    "lt",
    "le",
    "gt",
    "ge",
    "alarm",
    "caller",
    "chdir",
    "cos",
    "chroot",
    "exit",
    "sub",
    "eval",
    "exp",
    "getpgrp",
    "getprotobyname",
    "gethostbyname",
    "getnetbyname",
    "gmtime",
    "hex",
    "int",
    "localtime",
    "log",
    "ord",
    "oct",
    "require",
    "reset",
    "rand",
    "rmdir",
    "readlink",
    "scalar",
    "sin",
    "sleep",
    "sqrt",
    "srand",
    "umask",
    "binmode",
    "close",
    "closedir",
    "eof",
    "fileno",
    "getc",
    "getpeername",
    "getsockname",
    "lstat",
    "readdir",
    "rewinddir",
    "stat",
    "tell",
    "telldir",
    "write",
    "bind",
    "connect",
    "flock",
    "listen",
    "opendir",
    "seekdir",
    "shutdown",
    "truncate",
    "accept",
    "pipe",
    "fcntl",
    "getsockopt",
    "ioctl",
    "read",
    "seek",
    "send",
    "sysread",
    "syswrite",
    "recv",
    "setsocktopt",
    "socket",
    "socketpair",
    "pop",
    "shift",
    "split",
    "push",
    "splice",
    "unshift",
    "sprintf",
    "grep",
    "join",
    "pack",
    "chop",
    "defined",
    "study",
    "undef",
    "endhostent",
    "endnetent",
    "endservent",
    "endprotoent",
    "endpwent",
    "endgrent",
    "fork",
    "getrent",
    "gethostent",
    "getlogin",
    "getnetent",
    "getppid",
    "getprotoent",
    "getpwnet",
    "getservent",
    "setgrent",
    "setpwent",
    "time",
    "times",
    "wait",
    "getgrgid",
    "getgrnam",
    "getprotobynumber",
    "getpwnam",
    "getpwuid",
    "sethostent",
    "setnetent",
    "setprotent",
    "setservent",
    "atan2",
    "crypt",
    "gethostbyaddr",
    "getnetbyaddr",
    "getpriority",
    "getservbyname",
    "getservbyport",
    "index",
    "link",
    "mkdir",
    "msgget",
    "rename",
    "semop",
    "setpgrp",
    "symlink",
    "unpack",
    "waitpid",
    "rindex",
    "substr",
    "msgctl",
    "msgsnd",
    "semget",
    "setpriority",
    "shmctl",
    "shmget",
    "vec",
    "semctl",
    "shmread",
    "shmwrite",
    "msgrcv",
    "dbmclose",
    "each",
    "keys",
    "values",
    "dbopen",
    "chmode",
    "chown",
    "die",
    "exec",
    "kill",
    "print",
    "printf",
    "return",
    "reverse",
    "sort",
    "system",
    "syscall",
    "unlink",
    "utime",
    "warn",
};

}  // namespace

std::span<const std::string_view> JavaReservedWords() {
  return kJava;
}
std::span<const std::string_view> HtmlReservedWords() {
  return kHtml;
}
std::span<const std::string_view> PerlReservedWords() {
  return kPerl;
}

WordTable::WordTable(std::span<const std::string_view> words, bool caseInsensitive)
    : words_(words), caseInsensitive_(caseInsensitive), slots_(kSlots) {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    const std::string_view w = words_[i];
    if (w.size() > maxLength_) maxLength_ = w.size();
    if (Contains(w)) continue;  // a repeated entry matches the same words
    std::size_t slot = Hash(w);
    while (slots_[slot].length != 0) slot = (slot + 1) & (kSlots - 1);
    slots_[slot] = {static_cast<std::uint8_t>(w.size()), Fold(static_cast<unsigned char>(w[0])),
                    static_cast<std::int16_t>(i)};
  }
}

bool WordTable::Equal(std::string_view entry, std::string_view word) const {
  if (!caseInsensitive_) return entry == word;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Fold(static_cast<unsigned char>(entry[i])) != Fold(static_cast<unsigned char>(word[i]))) {
      return false;
    }
  }
  return true;
}

const WordTable& JavaWordTable() {
  static const WordTable table(kJava, false);
  return table;
}

const WordTable& HtmlWordTable() {
  static const WordTable table(kHtml, true);
  return table;
}

const WordTable& PerlWordTable() {
  static const WordTable table(kPerl, false);
  return table;
}

}  // namespace tamso
