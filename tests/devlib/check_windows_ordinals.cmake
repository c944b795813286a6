# SPDX-License-Identifier: MIT
# Cross-builds the device library for 32-bit and 64-bit Windows and checks that the export table
# carries the ordinals the application imports by number.
set(ordinals 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 19 21)
set(names OB_OpenIndex OB_CloseDevice OB_ReadData OB_WriteData OB_DeviceRequest OB_ResetPort
    OB_SetLineSpeed OB_SetFraming OB_SetHandshake OB_AssertDtr OB_ReleaseDtr OB_AssertRts
    OB_ReleaseRts OB_GetLineState OB_SetSpecialChars OB_PurgeBuffers OB_SetIoTimeouts
    OB_SetNotification OB_GetQueueStatus)

foreach(arch i686 x86_64)
    find_program(cxx ${arch}-w64-mingw32-g++-posix NAMES ${arch}-w64-mingw32-g++)
    find_program(objdump ${arch}-w64-mingw32-objdump)
    if(NOT cxx OR NOT objdump)
        message("SKIPPED: the ${arch} mingw-w64 cross compiler or its objdump is not installed")
        return()
    endif()
    unset(cxx CACHE)
    unset(objdump CACHE)
endforeach()

foreach(arch i686 x86_64)
    find_program(objdump ${arch}-w64-mingw32-objdump)
    set(dir ${WORK_DIR}/${arch})
    if(arch STREQUAL i686)
        set(dll Orblink.dll)
    else()
        set(dll Orblink64.dll)
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${dir} -G Ninja
            -DCMAKE_BUILD_TYPE=Release -DORV_WARNINGS_AS_ERRORS=ON
            -DCMAKE_TOOLCHAIN_FILE=${ROOT}/cmake/mingw-${arch}.cmake
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "configuring the ${arch} build failed:\n${out}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${dir} --target orblink
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "building ${dll} failed:\n${out}")
    endif()
    execute_process(COMMAND ${objdump} -p ${dir}/${dll} RESULT_VARIABLE rc OUTPUT_VARIABLE table)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "objdump -p ${dll} failed")
    endif()
    # The name table lists "[ i] name" with i = ordinal - ordinal base.
    if(NOT table MATCHES "Ordinal Base ([0-9]+)")
        message(FATAL_ERROR "${dll}: no export table\n${table}")
    endif()
    set(base ${CMAKE_MATCH_1})
    foreach(ordinal name IN ZIP_LISTS ordinals names)
        math(EXPR slot "${ordinal} - ${base}")
        if(NOT table MATCHES "\\[ *${slot}\\] ${name}\n")
            message(FATAL_ERROR "${dll}: ${name} is not exported with ordinal ${ordinal}\n${table}")
        endif()
    endforeach()
    foreach(free 18 20)
        if(table MATCHES "\\+base\\[ *${free}\\]")
            message(FATAL_ERROR "${dll}: ordinal ${free} must stay free")
        endif()
    endforeach()
    # The DLL must load on a plain Windows: no compiler runtime DLLs beside it.
    if(table MATCHES "DLL Name: (lib[A-Za-z0-9_+-]+\\.dll)")
        message(FATAL_ERROR "${dll} imports ${CMAKE_MATCH_1}")
    endif()
    if(table MATCHES "OB_[A-Za-z]+@[0-9]")
        message(FATAL_ERROR "${dll}: decorated export names")
    endif()
    unset(objdump CACHE)
    message(STATUS "${dll}: ordinals ok")
endforeach()
