# Linking a shipped Windows program without any C or C++ runtime.
#
# The programs bring their own entry point and the few routines GCC may emit calls to (memcpy,
# memset); static libgcc supplies 64-bit division and the stack probe. Only system import libraries
# are linked, so the import table names nothing but Windows' own DLLs.

set(KIT_NOCRT_COMPILE_OPTIONS
    -Os -ffreestanding -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-unwind-tables -fno-stack-protector -fno-ident -fno-threadsafe-statics
    -fomit-frame-pointer -ffunction-sections -fdata-sections
    -Wall -Wextra)

# kit_nocrt_program(TARGET ENTRY <symbol> [GUI] LIBS <system libs...>)
function(kit_nocrt_program target)
  cmake_parse_arguments(ARG "GUI" "ENTRY" "LIBS" ${ARGN})
  target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX,C>:${KIT_NOCRT_COMPILE_OPTIONS}>)
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
  if(ARG_GUI)
    set(subsystem windows)
  else()
    set(subsystem console)
  endif()
  # i686 symbols carry a leading underscore; stdcall entry points also carry @N.
  target_link_options(${target} PRIVATE
      -nostdlib -nostartfiles -static -s
      -Wl,-e,_${ARG_ENTRY} -Wl,--subsystem,${subsystem}
      -Wl,--gc-sections -Wl,--enable-stdcall-fixup
      -Wl,--file-alignment,512 -Wl,--section-alignment,4096
      -Wl,--no-insert-timestamp
      -Wl,-Map,$<TARGET_FILE_DIR:${target}>/${target}.map)
  set(libs)
  foreach(lib IN LISTS ARG_LIBS)
    list(APPEND libs ${lib})
  endforeach()
  target_link_libraries(${target} PRIVATE ${libs} gcc)
  set_target_properties(${target} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
      CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  set_property(GLOBAL APPEND PROPERTY KIT_SHIPPED_PROGRAMS ${target})
endfunction()

# Test programs for Wine: ordinary MinGW programs, linked statically so that Wine finds no
# missing libstdc++ or libgcc DLL.
function(kit_win_test_program target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(${target} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
      CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON)
endfunction()
