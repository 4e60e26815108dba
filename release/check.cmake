# cmake -DFILES="a.deb;b.tar.gz;c.zip;sender.exe" -DTREE=build/PRESET [-DOBJDUMP=...] -P release/check.cmake
# Checks the shipped files, as they lie, against the tables below. TREE is the
# build tree that made them: its compile commands show the flags and its link
# map the archives that no stripped binary shows. The tools' words are
# matched, so they must not be translated.
cmake_minimum_required(VERSION 3.25)
set(ENV{LC_ALL} C)
set(source ${CMAKE_CURRENT_LIST_DIR}/..)

# Each table's columns are split by " | ". The hardening of a Linux program:
# what readelf must show, unless what a middle column names is there (a plain
# static executable has no dynamic section and nothing to bind late).
set(elf_rows
    "GNU_RELRO | read-only relocations, a GNU_RELRO segment (-Wl,-z,relro)"
    "\\(FLAGS\\)[^\n]*BIND_NOW | There is no dynamic section | immediate binding, BIND_NOW (-Wl,-z,now)")
set(elf_flags -fstack-protector-strong -D_FORTIFY_SOURCE=2 -fstack-clash-protection)
# The same for the exe, as objdump -p -h shows it (dumpbin for MSVC).
set(pe_rows
    "DllCharacteristics[^\n]*\n([ \t]+[A-Z_]+\n)*[ \t]+DYNAMIC_BASE\n | address-space randomisation, DYNAMIC_BASE"
    "DllCharacteristics[^\n]*\n([ \t]+[A-Z_]+\n)*[ \t]+NX_COMPAT\n | no-execute data, NX_COMPAT"
    "\n +[0-9]+ \\.reloc  | a .reloc section, which randomisation needs"
    "file format pei-i386 | a PE32 program for Intel 80386"
    "Subsystem[ \t]+0+3[ \t]+\\(Windows CUI\\) | a console program")
set(dumpbin_rows
    "Dynamic base | address-space randomisation, DYNAMIC_BASE (/DYNAMICBASE)"
    "NX compatible | no-execute data, NX_COMPAT (/NXCOMPAT)"
    "Guard | Control Flow Guard (/guard:cf)"
    "\\.reloc | a .reloc section"
    "14C machine \\(x86\\) | a program for x86"
    "3 subsystem \\(Windows CUI\\) | a console program")
set(pe_flags -fstack-protector-strong -D_FORTIFY_SOURCE=2)
# The DLLs that a bare Windows has. advapi32: MinGW's static libssp seeds the
# stack protector's guard with CryptGenRandom from it.
set(windows_dlls "^(kernel32|ws2_32|msvcrt|advapi32|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
set(version_strings FileDescription ProductName FileVersion ProductVersion OriginalFilename InternalName LegalCopyright)

# The code that a static link may pull in: the archives and start files (a
# regular expression on their names in the link map), the heading of their
# notice in the NOTICES beside the program in an archive, and a line of it in
# the .deb's copyright file ("-": not in a .deb). An input of the link that no
# row names fails the check until its notice is added.
set(notice_rows
    "^((libc|libm|libm-[0-9.]+|libmvec|libpthread|libdl|librt)\\.a|[crS]?crt[1in]\\.o)$ | == The GNU C Library \\(glibc\\) == | License: LGPL-2.1\\+"
    "^libc\\.a$ | == 4.4 BSD code in the GNU C Library == | License: BSD-3-[Cc]lause"
    "^libc\\.a$ | == Digital Equipment Corporation code in the GNU C Library == | Digital Equipment Corporation"
    "^libc\\.a$ | == Internet Software Consortium code in the GNU C Library == | Internet Software Consortium"
    "^((libstdc\\+\\+|libgcc|libgcc_eh|libssp|libssp_nonshared)\\.a|crt(begin|end)[ST]?\\.o)$ | == The GCC runtime: libstdc\\+\\+(,| and) libgcc | GCC Runtime Library Exception"
    "^(lib(mingw32|mingwex|msvcrt|moldname|kernel32|ws2_32|advapi32|user32)\\.a|(crt2|dllcrt2)\\.o)$ | == The mingw-w64 runtime == | -"
    "^libmingwex\\.a$ | == gdtoa and mingw_pformat in the mingw-w64 runtime \\(Lucent\\) == | -"
    "^libmingwex\\.a$ | == strtodnrp in the mingw-w64 runtime \\(David M. Gay\\) == | -")

function(fail what)
    message(FATAL_ERROR "${checked_file}: ${what}")
endfunction()
function(require text pattern what)
    if(NOT text MATCHES "${pattern}")
        fail("lacks ${what}")
    endif()
    message(STATUS "  ${what}: yes")
endfunction()
function(run result)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE failed)
    if(failed)
        fail("${ARGN} failed:\n${out}")
    endif()
    set(${result} "${out}" PARENT_SCOPE)
endfunction()
# Each row's pattern is in the dump, unless its middle column is.
function(require_rows dump)
    foreach(row IN LISTS ARGN)
        string(REPLACE " | " ";" row "${row}")
        list(GET row 0 pattern)
        list(GET row 1 unless)
        list(GET row -1 what)
        if(unless STREQUAL what OR NOT dump MATCHES "${unless}")
            require("${dump}" "${pattern}" "${what}")
        endif()
    endforeach()
endfunction()

# Every source of src/ in TREE's compile commands was compiled with each flag.
function(check_compile_flags)
    file(STRINGS ${TREE}/compile_commands.json commands REGEX "\"command\": .* -c [^ ]*/src/[^/ ]+\\.cpp\"")
    if(NOT commands)
        fail("${TREE}/compile_commands.json has no compile command for a source of src/")
    endif()
    foreach(command IN LISTS commands)
        string(REGEX REPLACE ".* -c ([^ ]+)\".*" "\\1" file "${command}")
        foreach(flag IN LISTS ARGN)
            string(FIND "${command}" " ${flag} " at)
            if(at EQUAL -1)
                fail("${file} is compiled without ${flag}")
            endif()
        endforeach()
    endforeach()
    list(LENGTH commands sources)
    list(JOIN ARGN " " flags)
    message(STATUS "  ${sources} sources compiled with ${flags}")
endfunction()

function(check_elf program)
    find_program(READELF NAMES readelf REQUIRED)
    run(dump ${READELF} -W --file-header --program-headers --dynamic ${program})
    require_rows("${dump}" ${elf_rows})
    set(flags ${elf_flags})
    # The shipped program is stripped: the unstripped one in TREE shows main.
    if(dump MATCHES "Machine:[ \t]+Advanced Micro Devices X86-64")
        find_program(OBJDUMP_ELF NAMES objdump REQUIRED)
        run(code ${OBJDUMP_ELF} -d --disassemble=main ${TREE}/sender)
        string(REGEX MATCH "<main>:\n[^\n]*" start "${code}")
        require("${start}" "endbr64" "control-flow protection, main starts with endbr64 (-fcf-protection)")
        list(APPEND flags -fcf-protection)
    endif()
    check_compile_flags(${flags})
endfunction()

# A version string in the exe is its UTF-16 key and a zero, then its UTF-16
# value and a zero, starting at the next 32-bit boundary. Both in hex.
function(utf16_hex text result)
    string(HEX "${text}" hex)
    string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
    set(${result} "${hex}" PARENT_SCOPE)
endfunction()
function(version_value exe key result)
    utf16_hex(${key} key_hex)
    string(FIND "${exe}" "${key_hex}0000" at)
    if(at EQUAL -1)
        fail("has no version string ${key}")
    endif()
    string(LENGTH "${key_hex}0000" length)
    math(EXPR start "(${at} + ${length} + 7) / 8 * 8")
    string(SUBSTRING "${exe}" ${start} 512 value)
    string(REGEX MATCH "^(([0-9a-f][1-9a-f]|[1-9a-f]0)00)+" value "${value}")
    set(${result} "${value}" PARENT_SCOPE)
endfunction()

function(check_exe program)
    if(NOT OBJDUMP)
        find_program(OBJDUMP NAMES i686-w64-mingw32-objdump objdump dumpbin REQUIRED)
    endif()
    get_filename_component(tool ${OBJDUMP} NAME_WE)
    if(tool MATCHES "^[Dd][Uu][Mm][Pp][Bb][Ii][Nn]$")
        run(dump ${OBJDUMP} /nologo /headers /dependents ${program})
        set(rows ${dumpbin_rows})
        string(REGEX MATCH "following dependencies:[\r\n]+(([ \t]+[^ \t\r\n]+[\r\n]+)+)" dlls "${dump}")
        string(REGEX MATCHALL "[^ \t\r\n]+" dlls "${CMAKE_MATCH_1}")
    else()
        run(dump ${OBJDUMP} -p -h ${program})
        set(rows ${pe_rows})
        string(REGEX MATCHALL "DLL Name: [^\r\n]+" dlls "${dump}")
        list(TRANSFORM dlls REPLACE "DLL Name: " "")
        check_compile_flags(${pe_flags})
    endif()
    require_rows("${dump}" ${rows})
    message(STATUS "  imports: ${dlls}")
    list(TRANSFORM dlls TOLOWER)
    if(NOT "ws2_32.dll" IN_LIST dlls)
        fail("does not import WS2_32.dll")
    endif()
    foreach(dll IN LISTS dlls)
        if(NOT dll MATCHES "${windows_dlls}")
            fail("imports ${dll}, which a bare Windows machine does not have")
        endif()
    endforeach()

    file(READ ${program} exe HEX)
    foreach(key IN LISTS version_strings)
        version_value("${exe}" ${key} ${key})
        if(${key} STREQUAL "")
            fail("the version string ${key} is empty")
        endif()
    endforeach()
    file(STRINGS ${source}/CMakeLists.txt project REGEX "^project\\(sender VERSION ")
    string(REGEX REPLACE ".*VERSION ([0-9.]+).*" "\\1" version "${project}")
    set(keys FileVersion ProductVersion OriginalFilename)
    set(values ${version} ${version} sender.exe)
    foreach(key expected IN ZIP_LISTS keys values)
        utf16_hex(${expected} expected_hex)
        if(NOT ${key} STREQUAL expected_hex)
            fail("${key} is not ${expected}")
        endif()
    endforeach()
    list(LENGTH version_strings count)
    message(STATUS "  version resource: ${count} strings, version ${version}, sender.exe")
    string(HEX [[level="asInvoker"]] asInvoker)
    string(FIND "${exe}" "${asInvoker}" at)
    if(at EQUAL -1)
        fail("has no manifest that asks for asInvoker")
    endif()
    message(STATUS "  manifest: asInvoker")
endfunction()

# Each archive and start file that the link map of TREE shows has a row, and
# each row's notice, in the column named (archive or deb), lies in the text
# that ships beside the program.
function(check_notices notices column)
    file(GLOB map ${TREE}/sender.map ${TREE}/sender.exe.map)
    if(NOT map)
        fail("${TREE} has no link map (sender.map): the program was not linked statically")
    endif()
    # Start files as ld loads them; archives where it takes a member from them.
    file(STRINGS ${map} inputs REGEX "^(LOAD /[^ ]*\\.o|/[^ (]*\\.a\\()")
    list(TRANSFORM inputs REPLACE "^(LOAD )?/([^ (]*/)?([^/ (]+).*$" "\\3")
    list(REMOVE_DUPLICATES inputs)
    file(READ ${notices} text)
    foreach(name IN LISTS inputs)
        set(covered FALSE)
        foreach(row IN LISTS notice_rows)
            string(REPLACE " | " ";" row "${row}")
            list(GET row 0 pattern)
            list(GET row 1 archive)
            list(GET row 2 deb)
            if(name MATCHES "${pattern}")
                set(covered TRUE)
                if(NOT ${column} STREQUAL "-" AND NOT text MATCHES "${${column}}")
                    fail("${name} is in the program, but ${notices} lacks its notice '${${column}}'")
                endif()
            endif()
        endforeach()
        if(NOT covered)
            fail("${name} is in the program (${map}), but no row of release/check.cmake names its notice")
        endif()
    endforeach()
    list(LENGTH inputs count)
    message(STATUS "  notices for the ${count} inputs of the link: yes (${notices})")
endfunction()

# The .deb: lintian, its fields, and what it holds.
function(check_deb deb unpacked)
    find_program(LINTIAN lintian REQUIRED)
    execute_process(COMMAND ${LINTIAN} --pedantic -I --fail-on error,warning,info,pedantic ${deb}
                    RESULT_VARIABLE failed)
    if(failed)
        fail("lintian --pedantic -I shows a tag")
    endif()
    message(STATUS "  lintian --pedantic -I: clean")
    run(control dpkg-deb -f ${deb})
    # Built-Using: the source of the package that owns the libc.a in the map.
    file(STRINGS ${TREE}/sender.map libc REGEX "/libc\\.a\\(" LIMIT_COUNT 1)
    string(REGEX MATCH "/[^ \t(]*/libc\\.a" libc "${libc}")
    file(REAL_PATH "${libc}" libc)
    run(owner dpkg-query -S ${libc})
    string(REGEX REPLACE ":[^:]*$" "" owner "${owner}")
    run(expected dpkg-query -W [[-f=${source:Package} (= ${source:Version})]] ${owner})
    string(REGEX REPLACE "([+().])" "\\\\\\1" pattern "${expected}")
    require("${control}" "\nBuilt-Using: ${pattern}\n" "Built-Using: ${expected} (${libc}, ${owner})")
    # Installed-Size as dpkg-gencontrol counts it: each file in KiB rounded
    # up, 1 for each folder, the root and DEBIAN/ among them, whatever the
    # file system.
    file(GLOB_RECURSE entries LIST_DIRECTORIES true ${unpacked}/*)
    set(kib 2)
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${entry} AND NOT IS_SYMLINK ${entry})
            math(EXPR kib "${kib} + 1")
        else()
            file(SIZE ${entry} size)
            math(EXPR kib "${kib} + (${size} + 1023) / 1024")
        endif()
    endforeach()
    require("${control}" "\nInstalled-Size: ${kib}\n" "Installed-Size: ${kib}, as dpkg-gencontrol counts it")
endfunction()

get_filename_component(TREE ${TREE} ABSOLUTE)
foreach(file IN LISTS FILES)
    get_filename_component(file ${file} ABSOLUTE)
    set(checked_file ${file})
    message(STATUS "${file}")
    get_filename_component(name ${file} NAME)
    set(unpacked ${TREE}/release-check/${name})
    file(REMOVE_RECURSE ${unpacked})
    file(MAKE_DIRECTORY ${unpacked})
    if(name MATCHES "\\.deb$")
        run(out dpkg-deb -x ${file} ${unpacked})
        check_deb(${file} ${unpacked})
        check_elf(${unpacked}/usr/bin/sender)
        check_notices(${unpacked}/usr/share/doc/sender/copyright deb)
    elseif(name MATCHES "\\.tar\\.gz$")
        run(out ${CMAKE_COMMAND} -E chdir ${unpacked} ${CMAKE_COMMAND} -E tar xf ${file})
        file(GLOB top ${unpacked}/*)
        check_elf(${top}/bin/sender)
        check_notices(${top}/share/doc/sender/NOTICES archive)
    elseif(name MATCHES "\\.zip$")
        run(out ${CMAKE_COMMAND} -E chdir ${unpacked} ${CMAKE_COMMAND} -E tar xf ${file})
        file(GLOB top ${unpacked}/*)
        check_exe(${top}/bin/sender.exe)
        check_notices(${top}/NOTICES.txt archive)
    elseif(name MATCHES "\\.exe$")
        check_exe(${file})
        if(NOT OBJDUMP MATCHES "[Dd][Uu][Mm][Pp][Bb][Ii][Nn]")
            check_notices(${source}/packaging/NOTICES.windows archive)
        endif()
    else()
        fail("is no kind of file that the release ships")
    endif()
    file(REMOVE_RECURSE ${unpacked})
endforeach()
