# The version is written once, in project(); everything that shows it takes it from here:
# the programs (a generated header, usable from C++ and from resource scripts), the man
# page, the MSI and the zip. debian/changelog cannot be generated, so it is checked.
set(TARNWELL_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/app/tarnwell_version.h.in
               ${TARNWELL_GENERATED_DIR}/app/tarnwell_version.h @ONLY)
include_directories(${TARNWELL_GENERATED_DIR})

# A release whose .deb would carry another version than its programs fails here, at the
# first configure of any preset, rather than in the hands of an administrator.
set(TARNWELL_DEBIAN_CHANGELOG ${PROJECT_SOURCE_DIR}/debian/changelog)
if(EXISTS ${TARNWELL_DEBIAN_CHANGELOG})
  file(STRINGS ${TARNWELL_DEBIAN_CHANGELOG} TARNWELL_CHANGELOG_TOP LIMIT_COUNT 1)
  if(NOT TARNWELL_CHANGELOG_TOP MATCHES "^tarnwell \\(([^)]+)\\)"
     OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "debian/changelog starts with '${TARNWELL_CHANGELOG_TOP}', but the "
                        "project version is ${PROJECT_VERSION}: add a changelog entry")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARNWELL_DEBIAN_CHANGELOG})
endif()
