# The same sources give the same executables, wherever and whenever they are
# built: nothing of the build folder, the clock or the user may reach a file.
# MSVC keeps its own defaults; these are the GNU toolchain's switches.
if(MSVC)
  return()
endif()

# Debug information and __FILE__ name the sources relative to the tree, and the
# build folder by one fixed name. The build folder's mapping comes last, so it
# wins where that folder lies inside the tree.
add_compile_options(
  "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
  "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")

# Static libraries with zeroed member times and owners, even where ar's default
# is the other way round.
foreach(language C CXX)
  set(CMAKE_${language}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${language}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${language}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()

# A Windows program's header would carry the moment of linking.
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()
