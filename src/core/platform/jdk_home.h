#pragma once
// The JDK a user has: the one whose javac comes first along PATH.

#include <string>
#include <string_view>

namespace tamso {

// The home folder of the JDK whose javac is the first one found in the absolute
// folders of pathEnv (".../bin/javac", often reached through links, belongs to the
// home two levels up); "" when there is none.
std::string JdkHomeOnPath(std::string_view pathEnv);

}  // namespace tamso
