# Build time on a small machine: every compiler call goes through ccache when
# it is installed (scripts/setup installs it), so a fresh clone on a machine
# that has built the project before compiles only what changed.
#
# Precompiled Qt Test header: building it costs about 14 s of processor time
# and 250 MB per target and saves about 4-5 s per translation unit (a small
# test file spends nearly all of its 6-8 s parsing Qt), so the test
# executables with three source files or more (four compiler calls with
# their moc file) use one; the others and the unity-built libraries do not.
# Off by default for now: ccache hits with it on a rebuild in the same
# folder, but a clone in another folder misses every call that uses the
# header (its preprocessed form still differs between folders), which costs
# more than it saves where the cache is warm. -DCORVANE_PCH=ON switches it on.
option(CORVANE_PCH "Precompiled Qt Test header for the larger test executables" OFF)
set(CORVANE_PCH_MIN_SOURCES 3)

# ccache and precompiled headers: the compiler must see the header through
# -fpch-preprocess, and ccache must be told that the header's macros and
# time stamps do not change the result (its manual's recipe), or every call
# that uses the header misses the cache.
set(CORVANE_CCACHE_SLOPPINESS pch_defines,time_macros,include_file_mtime,include_file_ctime)

find_program(CORVANE_CCACHE ccache)
if(CORVANE_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  # Paths below the checkout are hashed relative to the build folder, so a
  # clone in another folder (CI's, a second work tree) finds the same entries.
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=${CORVANE_CCACHE_SLOPPINESS} ${CORVANE_CCACHE})
endif()

# lld links a test executable in about a third of GNU ld's time (0.6-0.9 s
# against 2.0-2.3 s for test_device, at 150 MB instead of 105 MB), and the
# build links some fifty programs. scripts/setup installs it; without it the
# default linker is used.
include(CheckLinkerFlag)
find_program(CORVANE_LLD ld.lld)
if(CORVANE_LLD)
  check_linker_flag(CXX -fuse-ld=lld CORVANE_LINKER_LLD)
  if(CORVANE_LINKER_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endif()

# Unity builds: each program library compiles its sources a batch at a time,
# so the Qt headers are parsed once per batch instead of once per file. A
# clean build of everything took 948 s of processor time instead of 1419 s;
# touching one source file rebuilds its batch in about the time the file alone
# took (8-10 s with the links). The tests and benchmarks keep one translation
# unit per file: their files share helper names, and each is small.
# -DCMAKE_UNITY_BUILD=OFF switches it off.
if(NOT DEFINED CMAKE_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
endif()

# Gives a test executable the precompiled Qt Test header when it has enough
# source files to repay it (see above).
function(corvane_test_pch target)
  if(NOT CORVANE_PCH OR CORVANE_FUZZ)
    return()
  endif()
  set(sources ${ARGN})
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources count)
  if(count LESS CORVANE_PCH_MIN_SOURCES)
    return()
  endif()
  # Named as <TestPch.h> (found through tests/common), not by its absolute
  # path, which would end up in every clone's preprocessed output.
  target_precompile_headers(${target} PRIVATE <TestPch.h>)
  # Qt Test defines the test's source and build folders as absolute paths
  # (for QFINDTESTDATA, which no test here uses). A precompiled header keeps
  # them, so a clone in another folder would never reuse the cached one.
  target_compile_options(${target} PRIVATE -UQT_TESTCASE_SOURCEDIR -UQT_TESTCASE_BUILDDIR)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fpch-preprocess)
  endif()
endfunction()
