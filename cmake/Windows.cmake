# Cross build: the program, its command-line sender, the test probe and the tests that must run inside Windows.
set(PLUMWICK_LINK_FLAGS -static -static-libgcc -static-libstdc++ -municode)
set(PLUMWICK_WIN_LIBS gdiplus winhttp comctl32 comdlg32 shell32 shlwapi ole32 uuid advapi32 gdi32 user32 psapi)

file(GLOB WIN32_LAYER CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/win32/*_win.cpp)
set(MAIN_SOURCE ${CMAKE_SOURCE_DIR}/app/Main_win.cpp)
list(REMOVE_ITEM WIN_SOURCES ${MAIN_SOURCE})
set(RC_FILES)
foreach(dir IN LISTS PLUMWICK_SUBSYSTEMS)
  file(GLOB rc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.rc)
  list(APPEND RC_FILES ${rc})
  # The resource compiler reports no dependencies: a regenerated picture must rebuild its script.
  file(GLOB_RECURSE pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/res/* ${CMAKE_SOURCE_DIR}/${dir}/*.rch)
  if(rc AND pictures)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${pictures}")
  endif()
endforeach()

# One version number, the project's, for both programs' version information and the package's name.
set(PLUMWICK_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/PlumwickVersion.h.in ${PLUMWICK_GENERATED_DIR}/PlumwickVersion.h @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${PROJECT_VERSION}\n")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR} -I${PLUMWICK_GENERATED_DIR}")
add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX)

add_library(plumwick_win STATIC ${WIN32_LAYER} ${WIN_SOURCES})
target_link_libraries(plumwick_win PUBLIC plumwick_core ${PLUMWICK_WIN_LIBS})
target_compile_options(plumwick_win PRIVATE ${PLUMWICK_WARNINGS})
# windows.h takes about a second of every Windows file's compile.
target_precompile_headers(plumwick_win PRIVATE ${CMAKE_SOURCE_DIR}/win32/Windows_win.h ${PLUMWICK_STD_HEADERS})

add_executable(plumwick WIN32 ${MAIN_SOURCE} ${RC_FILES})
target_link_libraries(plumwick PRIVATE plumwick_win)
target_link_options(plumwick PRIVATE ${PLUMWICK_LINK_FLAGS})
set_target_properties(plumwick PROPERTIES OUTPUT_NAME plumwick)

add_executable(plumwick-send tools/Send_win.cpp tools/PipeClient_win.cpp tools/ReceiverIdentity_win.cpp
  ${CMAKE_SOURCE_DIR}/win32/LocalTime_win.cpp ${CMAKE_SOURCE_DIR}/win32/Strings_win.cpp
  ${CMAKE_SOURCE_DIR}/win32/Result_win.cpp tools/Send.rc)
target_link_libraries(plumwick-send PRIVATE plumwick_core user32 advapi32 wtsapi32)
# PlumwickVersion.h gives the sender the project's version too.
target_include_directories(plumwick-send PRIVATE ${CMAKE_SOURCE_DIR} ${PLUMWICK_GENERATED_DIR})
target_link_options(plumwick-send PRIVATE ${PLUMWICK_LINK_FLAGS})

# The program with a command box whose control faults on purpose, for the end-to-end tests.
add_executable(plumwick-faultingbox WIN32 tests/e2e/win/FaultingBox_win.cpp ${RC_FILES})
target_link_libraries(plumwick-faultingbox PRIVATE plumwick_win)
target_link_options(plumwick-faultingbox PRIVATE ${PLUMWICK_LINK_FLAGS})

add_executable(plumwick-probe tools/Probe_win.cpp tools/PipeClient_win.cpp tools/Probe.rc win32/Dpi_win.cpp
  win32/Result_win.cpp win32/Strings_win.cpp)
target_link_libraries(plumwick-probe PRIVATE plumwick_core user32 gdi32 advapi32 psapi)
target_include_directories(plumwick-probe PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(plumwick-probe PRIVATE ${PLUMWICK_LINK_FLAGS})

# GoogleTest built from Debian's sources for the tests that need Windows itself (pixels, code pages).
set(PLUMWICK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the tests run inside Windows")
if(EXISTS ${PLUMWICK_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PLUMWICK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
  add_executable(plumwick-wintests ${WIN_TESTS} ${CMAKE_SOURCE_DIR}/tools/PipeClient_win.cpp ${RC_FILES})
  target_link_libraries(plumwick-wintests PRIVATE plumwick_win gtest gtest_main)
  target_precompile_headers(plumwick-wintests PRIVATE
    ${CMAKE_SOURCE_DIR}/win32/Windows_win.h <gtest/gtest.h> ${PLUMWICK_STD_HEADERS})
  target_link_options(plumwick-wintests PRIVATE -static -static-libgcc -static-libstdc++)
endif()

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_win.cpp)
if(BENCH_SOURCES)
  add_executable(plumwick-bench ${BENCH_SOURCES} ${RC_FILES})
  target_link_libraries(plumwick-bench PRIVATE plumwick_win)
  target_link_options(plumwick-bench PRIVATE ${PLUMWICK_LINK_FLAGS})
endif()

# The runnable program folder: the exe beside data\system\ and Text\.
set(STAGE_DIR ${CMAKE_BINARY_DIR}/stage)
add_custom_target(stage ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${STAGE_DIR}/data/system ${STAGE_DIR}/Text
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data ${STAGE_DIR}/data
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/Text ${STAGE_DIR}/Text
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/help ${STAGE_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:plumwick> $<TARGET_FILE:plumwick-send> ${STAGE_DIR}/
  DEPENDS plumwick plumwick-send
  COMMENT "Staging the program folder in ${STAGE_DIR}")
