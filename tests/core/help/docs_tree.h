#pragma once
// A tiny tree of API documentation made by the JDK's javadoc from two classes of our
// own, once per test binary (skipped when there is no javadoc).

#include <string>

#include "jobs/process_runner.h"
#include "platform/paths.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace tamso::testing {

// The api folder ("" when javadoc is not there or failed).
inline const std::string& JavadocTree() {
  static TempDir dir;
  static std::string api = [] {
    if (FindProgram("javadoc").empty()) return std::string();
    dir.Write("src/com/ex/Widget.java",
              "package com.ex;\n/** A widget. */\npublic class Widget {\n"
              "  /** Its size. */\n  public int size;\n"
              "  /** Draws it. @param n times */\n  public void draw(int n) {}\n"
              "  /** Draws it in a colour. @param n times @param colour name */\n"
              "  public void draw(int n, String colour) {}\n"
              "  /** A part. */\n  public static class Part {}\n}\n");
    dir.Write("src/org/other/Gadget.java",
              "package org.other;\n/** A gadget. */\npublic interface Gadget {\n"
              "  /** Draws it. */\n  void draw();\n}\n");
    // The folder has a blank in its name, as a user's folder may.
    std::string out = dir.File("my docs/api");
    FakeHost host;
    bool ok = StartArguments({"javadoc", "-quiet", "-Xdoclint:none", "-d", out, "-sourcepath",
                              dir.File("src"), "com.ex", "org.other"},
                             "javadoc", dir.path(), true, host);
    if (!ok || !paths::Exists(out + "/type-search-index.js")) return std::string();
    return out;
  }();
  return api;
}

}  // namespace tamso::testing
