# The Windows (MinGW) half of the build: core, the program library, resources, tarvisk.exe and the Wine tests.
# Included by the top-level CMakeLists.txt in the cross tree only.

enable_language(RC)
include(TarviskWine)

add_compile_definitions(
  UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN STRICT
  WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0600 OEMRESOURCE)

set(TARVISK_WIN32_LIBS comctl32 shell32 ole32 oleaut32 uuid advapi32 gdi32 user32 uxtheme)

tarvisk_add_subdirectory_if_present(core)

# The version resources of both programs read the release number from this header (the number itself is in VERSION).
configure_file("${TARVISK_REPO_DIR}/resources/version.h.in" "${CMAKE_BINARY_DIR}/generated/tarvisk_version.h" @ONLY)

# The command-line lookup keeps its text in UTF-8, like core/: it comes before the GBK literals below.
tarvisk_add_subdirectory_if_present(cli)

# The Windows code keeps its strings as GBK bytes, and its narrow literals are GBK too (framework/Text.h checks).
# core/ is left out: it is built natively as well and must mean the same bytes in both trees.
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>")

# --- Resources --------------------------------------------------------------------------------------------------
# One object, linked into tarvisk.exe and into every GUI test exe (dialogs load from the exe's own module).
add_library(tarvisk_resources OBJECT "${TARVISK_REPO_DIR}/resources/tarvisk.rc")
target_include_directories(tarvisk_resources PRIVATE "${TARVISK_REPO_DIR}" "${TARVISK_REPO_DIR}/resources"
  "${CMAKE_BINARY_DIR}/generated")
target_compile_options(tarvisk_resources PRIVATE "$<$<COMPILE_LANGUAGE:RC>:--codepage=65001>")
if(EXISTS "${TARVISK_REPO_DIR}/resources/art.rc")
  target_compile_definitions(tarvisk_resources PRIVATE TARVISK_HAVE_ART)
endif()
# windres names pictures by file; the dependency scanner only follows #include. Every file under resources/ is a
# dependency, and the glob also notices art.rc appearing (CMake then re-configures).
file(GLOB_RECURSE _tarvisk_resource_files CONFIGURE_DEPENDS "${TARVISK_REPO_DIR}/resources/*")
list(FILTER _tarvisk_resource_files EXCLUDE REGEX "/resources/tarvisk\\.rc$")
set_source_files_properties("${TARVISK_REPO_DIR}/resources/tarvisk.rc" PROPERTIES
  OBJECT_DEPENDS "${_tarvisk_resource_files}")

# --- The program library -----------------------------------------------------------------------------------------
# Every .cpp of the Windows folders except app/entry/ (WinMain and the one application object), so tests can link it.
file(GLOB_RECURSE TARVISK_LIB_SOURCES CONFIGURE_DEPENDS
  "${TARVISK_REPO_DIR}/framework/*.cpp"
  "${TARVISK_REPO_DIR}/app/*.cpp"
  "${TARVISK_REPO_DIR}/windows/*.cpp"
  "${TARVISK_REPO_DIR}/controls/*.cpp"
  "${TARVISK_REPO_DIR}/menu/*.cpp")
list(FILTER TARVISK_LIB_SOURCES EXCLUDE REGEX "/app/entry/")
if(NOT TARVISK_LIB_SOURCES)
  # No sources yet: an archive still needs one object.
  set(_tarvisk_stub "${CMAKE_BINARY_DIR}/generated/tarvisk_lib_stub.cpp")
  file(WRITE "${_tarvisk_stub}" "// Placeholder while the program library has no sources.\nnamespace tarvisk { int libStub; }\n")
  set(TARVISK_LIB_SOURCES "${_tarvisk_stub}")
endif()
add_library(tarvisk_lib STATIC ${TARVISK_LIB_SOURCES})
target_link_libraries(tarvisk_lib PUBLIC ${TARVISK_WIN32_LIBS})
if(TARGET tarvisk_core)
  target_link_libraries(tarvisk_lib PUBLIC tarvisk_core)
endif()

# --- tarvisk.exe -------------------------------------------------------------------------------------------------
file(GLOB TARVISK_ENTRY_SOURCES CONFIGURE_DEPENDS "${TARVISK_REPO_DIR}/app/entry/*.cpp")
if(TARVISK_ENTRY_SOURCES)
  add_executable(tarvisk WIN32 ${TARVISK_ENTRY_SOURCES} $<TARGET_OBJECTS:tarvisk_resources>)
  target_link_libraries(tarvisk PRIVATE tarvisk_lib)
  # No link time in the file: the same sources give the same bytes (the release zip is reproducible).
  target_link_options(tarvisk PRIVATE -Wl,--no-insert-timestamp)
  set_target_properties(tarvisk PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
  set(TARVISK_EXE_TARGET tarvisk)
  set(TARVISK_EXE "${CMAKE_BINARY_DIR}/bin/tarvisk.exe")
endif()

# --- Help file -----------------------------------------------------------------------------------------------------
# tools/build-help.sh OUT_DIR writes OUT_DIR/tarvisk.chm from help/, and the pages' HTML copy in OUT_DIR/tarvisk-help.
if(EXISTS "${TARVISK_REPO_DIR}/tools/build-help.sh")
  # The help pages show the program's own chart pictures, so resources/ changes rebuild it too.
  file(GLOB_RECURSE _tarvisk_help_sources CONFIGURE_DEPENDS "${TARVISK_REPO_DIR}/help/*")
  list(APPEND _tarvisk_help_sources ${_tarvisk_resource_files})
  add_custom_command(
    OUTPUT "${CMAKE_BINARY_DIR}/help/tarvisk.chm"
    BYPRODUCTS "${CMAKE_BINARY_DIR}/help/tarvisk-help/index.htm"
    COMMAND bash "${TARVISK_REPO_DIR}/tools/build-help.sh" "${CMAKE_BINARY_DIR}/help"
    DEPENDS "${TARVISK_REPO_DIR}/tools/build-help.sh" ${_tarvisk_help_sources}
    COMMENT "Building tarvisk.chm"
    VERBATIM)
  add_custom_target(tarvisk_help ALL DEPENDS "${CMAKE_BINARY_DIR}/help/tarvisk.chm")
endif()

# --- Release zip ---------------------------------------------------------------------------------------------------
# The portable Windows release: tools/release/pack.py says what goes in; tools/dev.sh release copies it to dist/.
if(TARGET tarvisk AND TARGET tarvisk_help)
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  set(TARVISK_RELEASE_ZIP "${CMAKE_BINARY_DIR}/release/tarvisk-${PROJECT_VERSION}-win64.zip")
  file(GLOB _tarvisk_release_inputs CONFIGURE_DEPENDS
    "${TARVISK_REPO_DIR}/tools/release/*" "${TARVISK_DATA_DIR}/*.dll" "${TARVISK_DATA_DIR}/NOTICE")
  # Packed on every build: the entries carry the time of the commit, which no file dependency sees change, and
  # packing takes a fraction of a second.
  add_custom_target(tarvisk_release_zip ALL
    COMMAND "${Python3_EXECUTABLE}" "${TARVISK_REPO_DIR}/tools/release/pack.py"
            --build "${CMAKE_BINARY_DIR}" --out "${TARVISK_RELEASE_ZIP}"
    BYPRODUCTS "${TARVISK_RELEASE_ZIP}"
    DEPENDS tarvisk tarvisk_lookup tarvisk_help "${CMAKE_BINARY_DIR}/help/tarvisk.chm" ${_tarvisk_release_inputs}
    COMMENT "Packing ${TARVISK_RELEASE_ZIP}"
    VERBATIM)
endif()

# --- Tests ---------------------------------------------------------------------------------------------------------
tarvisk_add_wine_fixture()
add_subdirectory(tests/support)
add_subdirectory(tests/gui)
tarvisk_add_subdirectory_if_present(tests/cli)
if(TARGET tarvisk)
  tarvisk_add_subdirectory_if_present(tests/e2e)
  tarvisk_add_subdirectory_if_present(bench/startup)
endif()
if(TARGET tarvisk_release_zip AND TARGET tarvisk_e2e)
  tarvisk_add_subdirectory_if_present(tests/release)
endif()
