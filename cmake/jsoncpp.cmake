# jsoncpp 1.9.5 from Debian's source package, which scripts/fetch-jsoncpp.sh puts into HX_JSONCPP_DIR,
# built as the static library `jsoncpp` with the compiler and the options of the including build. It has
# its own warning level: its warnings never fail our build, and its headers count as system headers.
set(HX_JSONCPP_DIR ${CMAKE_BINARY_DIR}/jsoncpp CACHE PATH "The directory that scripts/fetch-jsoncpp.sh filled")
set(HX_JSONCPP_SOURCE ${HX_JSONCPP_DIR}/source)
set(HX_JSONCPP_STAMP ${HX_JSONCPP_SOURCE}/.fetched-1.9.5)
if(NOT EXISTS ${HX_JSONCPP_STAMP})
    message(FATAL_ERROR "jsoncpp 1.9.5 is not in ${HX_JSONCPP_SOURCE}: run scripts/fetch-jsoncpp.sh ${HX_JSONCPP_DIR}")
endif()
# A fetch done again means configuring again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HX_JSONCPP_STAMP})

add_library(jsoncpp STATIC ${HX_JSONCPP_SOURCE}/src/lib_json/json_reader.cpp
                           ${HX_JSONCPP_SOURCE}/src/lib_json/json_value.cpp
                           ${HX_JSONCPP_SOURCE}/src/lib_json/json_writer.cpp)
target_include_directories(jsoncpp SYSTEM PUBLIC ${HX_JSONCPP_SOURCE}/include)
target_include_directories(jsoncpp PRIVATE ${HX_JSONCPP_SOURCE}/src/lib_json)
