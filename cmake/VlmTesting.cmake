# vlm_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#              [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>] [ARGS <arguments...>])
#
# Labels decide how the test is run:
#   unit  plain process, no network, no display
#   net   inside the project's test network (host side namespace); needs the testnet fixture
#   gui   under Xvfb with Mesa's software OpenGL
#   gl    like gui; used for tests that need an OpenGL context
# A test may carry several labels (net + gui runs under Xvfb inside the host namespace).
# Every test that is not labelled net runs in a private network namespace holding only
# loopback, so nothing a test sends can reach a real network.
#
# Each label also gets a build target, vlm_tests_<label>, that builds its test programs
# (e.g. `cmake --build build --target vlm_tests_unit`).

set(VLM_TESTNET_SCRIPT "${PROJECT_SOURCE_DIR}/scripts/testnet.sh")
# Namespaces are named per build tree so two build trees can run their tests side by side.
string(MD5 _vlm_build_hash "${PROJECT_BINARY_DIR}")
string(SUBSTRING "${_vlm_build_hash}" 0 6 _vlm_build_hash)
set(VLM_TESTNET_PREFIX "vlm${_vlm_build_hash}" CACHE STRING "Prefix of the test network's namespaces")

# Makes the program <target> part of the build target vlm_tests_<label> of each label.
function(vlm_add_to_label_targets target)
  foreach(label IN LISTS ARGN)
    if(NOT TARGET vlm_tests_${label})
      add_custom_target(vlm_tests_${label})
    endif()
    add_dependencies(vlm_tests_${label} ${target})
  endforeach()
endfunction()

function(vlm_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  vlm_add_to_label_targets(${name} ${T_LABELS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()

  set(cmd $<TARGET_FILE:${name}> ${T_ARGS})
  set(env
    "VLM_TESTNET_SCRIPT=${VLM_TESTNET_SCRIPT}"
    "VLM_TESTNET_PREFIX=${VLM_TESTNET_PREFIX}"
    "VLM_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "VLM_BINARY_DIR=${PROJECT_BINARY_DIR}"
    "QT_LOGGING_RULES=*.debug=false"
    "VLM_SIM=$<TARGET_FILE:velmor-sim>"
    ${T_ENVIRONMENT})

  if("gui" IN_LIST T_LABELS OR "gl" IN_LIST T_LABELS)
    list(APPEND env "LIBGL_ALWAYS_SOFTWARE=1" "QT_QPA_PLATFORM=xcb")
    # xvfb-run -a races when two tests start at once and pick the same free display;
    # starting each test's search at its own number makes that unlikely.
    string(MD5 display_hash "${name}")
    string(SUBSTRING "${display_hash}" 0 3 display_hash)
    math(EXPR display_start "0x${display_hash} % 900 + 100")
    set(cmd xvfb-run -a -n ${display_start} -s "-screen 0 1600x1000x24" ${cmd})
  else()
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if("net" IN_LIST T_LABELS)
    set(cmd ${VLM_TESTNET_SCRIPT} exec host -- ${cmd})
  else()
    set(cmd ${VLM_TESTNET_SCRIPT} private -- ${cmd})
  endif()

  add_test(NAME ${name} COMMAND ${cmd})
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABELS}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "${env}")
  if("net" IN_LIST T_LABELS)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED testnet RESOURCE_LOCK testnet)
  endif()
endfunction()
