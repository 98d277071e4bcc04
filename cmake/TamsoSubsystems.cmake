# Helpers that turn the folder layout into targets.
#
#   src/core/<sub>/*.cpp   -> static library tamso_core_<sub>   (no Qt)
#   src/gui/<sub>/*.cpp    -> static library tamso_gui_<sub>    (Qt Widgets, AUTOMOC)
#   tests/core/<sub>/*.cpp -> test binary   tamso_core_tests_<sub>
#   tests/gui/<sub>/*.cpp  -> test binary   tamso_gui_tests_<sub>
#
# Sources are globbed with CONFIGURE_DEPENDS, so adding a file needs no edit here.

# Subsystems in dependency order: each may use the ones before it.
set(TAMSO_SUBSYSTEMS platform lang editor project java jobs browser codegen tools options help app)

function(tamso_subsystem_sources out dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()
