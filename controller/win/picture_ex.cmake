# The busy indicator control for qel.exe, its demo dialog and its Wine test. Included from
# controller/CMakeLists.txt in the Windows build.
file(GLOB picture_ex_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/picture_ex*.cpp)
add_library(picture_ex STATIC ${picture_ex_sources})
target_include_directories(picture_ex PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(picture_ex PUBLIC qel_core ole32 oleaut32 uuid gdi32 user32)

set(picture_ex_demo_dir ${CMAKE_SOURCE_DIR}/tests/wine/picture_ex)
add_executable(picture_ex_demo WIN32 ${picture_ex_demo_dir}/picture_ex_demo.cpp
                                     ${picture_ex_demo_dir}/picture_ex_demo.rc)
target_include_directories(picture_ex_demo PRIVATE ${picture_ex_demo_dir})
target_link_libraries(picture_ex_demo PRIVATE picture_ex)
target_link_options(picture_ex_demo PRIVATE -municode)

qel_wine_test(wine_picture_ex SCRIPT ${CMAKE_SOURCE_DIR}/tests/wine/picture_ex_test.sh TIMEOUT 180)
