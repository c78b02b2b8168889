# nlohmann-json (Debian's nlohmann-json3-dev, header-only) writes the JSON report on both
# targets. Its header lies in /usr/include, which must not become an include folder of the
# cross build: mingw's own C library headers would lose to glibc's there, and even natively
# an explicit -isystem /usr/include reorders the C++ library's #include_next chain. So the
# build tree gets a folder that holds nothing but a link to the header's own folder, and
# that folder is what both targets include.
find_path(TARNWELL_NLOHMANN_JSON_ROOT nlohmann/json.hpp PATHS /usr/include
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(TARNWELL_JSON_INCLUDE_DIR ${PROJECT_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${TARNWELL_JSON_INCLUDE_DIR})
file(CREATE_LINK ${TARNWELL_NLOHMANN_JSON_ROOT}/nlohmann ${TARNWELL_JSON_INCLUDE_DIR}/nlohmann
     SYMBOLIC)
add_library(tarnwell_json INTERFACE)
target_include_directories(tarnwell_json SYSTEM INTERFACE ${TARNWELL_JSON_INCLUDE_DIR})
