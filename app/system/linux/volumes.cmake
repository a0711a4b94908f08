# The drive list's volumes, read from the kernel's mount table.
add_library(rastrex_platform_volumes STATIC
  ${CMAKE_CURRENT_LIST_DIR}/volumes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/volumes.h)
target_include_directories(rastrex_platform_volumes PUBLIC ${CMAKE_CURRENT_LIST_DIR})
