# Drawing of captions and the gesture arrow onto frames (OpenCV only).
add_library(zv_annotation ${CMAKE_CURRENT_LIST_DIR}/Annotation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptionBand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptionStamps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaintedRuns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextStamp.cpp)
target_include_directories(zv_annotation PUBLIC ${CMAKE_SOURCE_DIR})
target_include_directories(zv_annotation SYSTEM PUBLIC ${OpenCV_INCLUDE_DIRS})
target_link_libraries(zv_annotation PUBLIC opencv_core opencv_imgproc)
