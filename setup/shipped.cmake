# The delivery as Lumbrel expects it beside itself: Lumbrel.exe, the macro files,
# the workspace and command files, and the "Kelmirt" sub-folder with the station and,
# when this tree builds it, Ornavex.exe, which starts the Kelmirt.exe beside itself;
# then the folder zipped as the release file.
# Run at the end of the top directory, when every program target is known.
set(shipped_dir ${KM_SHIPPED_DIR})
get_filename_component(shipped_root ${shipped_dir} DIRECTORY)
file(MAKE_DIRECTORY ${shipped_root})
set(shipped_zip ${shipped_root}/KelmirtSuite.zip)
set(shipped_src ${CMAKE_CURRENT_LIST_DIR}/shipped)
set(shipped_files Kmtcut.gms KmtAddBarCode.gms KmtAddmark.gms KmtOutline.gms KmtSet.gms
    command.cwf Kelmirt.xslt Kelmirt_X7.cdws Kelmirt_X8.cdws)
list(TRANSFORM shipped_files PREPEND ${shipped_src}/)
set(shipped_station_programs Kelmirt)
if(TARGET Ornavex)
  list(APPEND shipped_station_programs Ornavex)
endif()
set(shipped_station_files)
foreach(p IN LISTS shipped_station_programs)
  list(APPEND shipped_station_files $<TARGET_FILE:${p}>)
endforeach()

add_custom_command(OUTPUT ${shipped_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${shipped_dir} ${shipped_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${shipped_dir}/Kelmirt
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Lumbrel> ${shipped_files} ${shipped_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${shipped_station_files} ${CMAKE_SOURCE_DIR}/station/Kelmirt.ini ${shipped_dir}/Kelmirt
  COMMAND ${CMAKE_COMMAND} -E tar cf ${shipped_zip} --format=zip KelmirtSuite
  WORKING_DIRECTORY ${shipped_root}
  DEPENDS Lumbrel ${shipped_station_programs} ${shipped_files} ${CMAKE_SOURCE_DIR}/station/Kelmirt.ini
  COMMENT "Gathering the shipped folder and its zip"
  VERBATIM)
add_custom_target(shipped ALL DEPENDS ${shipped_zip})
