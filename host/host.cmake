# The host's portable logic, unit-tested natively; toolhost.exe adds the Win32 side.
add_library(vorpex_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dialog_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fragment_defaults.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preferences.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shared_properties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/splice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tool_host.cpp
)
target_include_directories(vorpex_host PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vorpex_host PUBLIC vorpex_dialog vorpex_core)
if(TARGET vorpex_os)
  target_link_libraries(vorpex_host PUBLIC vorpex_os)
endif()
