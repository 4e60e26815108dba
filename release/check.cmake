# cmake -DFILES="a.deb;b.tar.gz;c.zip;d.exe;e.buildinfo;f.dsc" [-DTREE=build/PRESET] -P check.cmake
# Checks a release's files as they lie against the tables below, a program
# also against TREE, which built and tested it. Tools' words are untranslated.
cmake_minimum_required(VERSION 3.25)
set(ENV{LC_ALL} C.UTF-8)
unset(ENV{LANGUAGE})
set(source ${CMAKE_CURRENT_LIST_DIR}/..)

# Columns split at " | ". readelf of a Linux program (a plain static one has
# no dynamic section).
set(elf_rows
    "GNU_RELRO | read-only relocations, a GNU_RELRO segment (-Wl,-z,relro)"
    "\\(FLAGS\\)[^\n]*BIND_NOW|There is no dynamic section
     | immediate binding, BIND_NOW (-Wl,-z,now), or no dynamic section")
set(elf_flags -fstack-protector-strong -D_FORTIFY_SOURCE=2 -fstack-clash-protection)
# Control-flow protection where GCC has it, by readelf's machine: the flag,
# and its mark at main (whose address sender.debug keeps) in the shipped bytes.
set(control_flow_rows
    "Advanced Micro Devices X86-64 | -fcf-protection | endbr64"
    "Intel 80386 | -fcf-protection | endbr32"
    "AArch64 | -mbranch-protection=standard | bti|paciasp")
# The same for the exe: objdump -p -h (dumpbin for MSVC).
set(pe_rows
    "DllCharacteristics[^\n]*\n([ \t]+[A-Z_]+\n)*[ \t]+DYNAMIC_BASE\n | address-space randomisation, DYNAMIC_BASE"
    "DllCharacteristics[^\n]*\n([ \t]+[A-Z_]+\n)*[ \t]+NX_COMPAT\n | no-execute data, NX_COMPAT"
    "\n +[0-9]+ \\.reloc  | a .reloc section, which randomisation needs"
    "file format pei-i386 | a PE32 program for Intel 80386"
    "Subsystem[ \t]+0+3[ \t]+\\(Windows CUI\\) | a console program"
    "\n[ \t]+symbols stripped\n | stripped: no symbol table (-s)")
set(dumpbin_rows
    "Dynamic base | address-space randomisation, DYNAMIC_BASE (/DYNAMICBASE)"
    "NX compatible | no-execute data, NX_COMPAT (/NXCOMPAT)"
    "Guard | Control Flow Guard (/guard:cf)"
    "\\.reloc | a .reloc section"
    "14C machine \\(x86\\) | a program for x86"
    "3 subsystem \\(Windows CUI\\) | a console program")
set(pe_flags -fstack-protector-strong -D_FORTIFY_SOURCE=2)
# The DLLs a bare Windows has. advapi32: MinGW's static libssp seeds the
# stack guard with its CryptGenRandom.
set(windows_dlls "^(kernel32|ws2_32|msvcrt|advapi32|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
set(version_strings FileVersion ProductVersion OriginalFilename FileDescription ProductName InternalName LegalCopyright)

# Code a static link may pull in: link map inputs (regular expressions),
# their notice's heading in NOTICES, a line of it in a .deb's copyright ("-":
# none). Fails on an input that no row names, and on a notice (but for these
# sections) of a row with no input in the program, or of none.
set(notice_sections "Corresponding source" "Relinking with a changed C library"
                    "GNU Lesser General Public License, version 2\\.1")
set(notice_rows
    "^(lib(c|m|m-[0-9.]+|mvec|pthread|dl|rt)\\.a\\(|[crS]?crt[1in]\\.o$)
     | The GNU C Library .glibc. | License: LGPL-2\\.1\\+"
    "^libc\\.a\\( | 4\\.4 BSD code in the GNU C Library | License: BSD-3-clause"
    "^libc\\.a\\( | Digital Equipment Corporation code in the GNU C Library | Digital Equipment Corporation"
    "^libc\\.a\\( | Internet Software Consortium code in the GNU C Library | Internet Software Consortium"
    "^(lib(stdc\\+\\+|gcc|gcc_eh)\\.a\\(|crt(begin|end)[ST]?\\.o$)
     | The GCC runtime: libstdc\\+\\+(,| and) libgcc.* | GCC Runtime Library Exception"
    "^libssp(_nonshared)?\\.a\\( | The GCC runtime: libstdc\\+\\+, libgcc and libssp | -"
    "^libstdc\\+\\+\\.a\\(cp-demangle\\.o\\)$
     | The C\\+\\+ demangler in libstdc\\+\\+ .libiberty's cp-demangle\\.c.
     | License: GPL-2\\+ with cp-demangle exception"
    "^libgcc\\.a\\(([a-z]*tf[a-z0-9]*|[a-z0-9]*-sw|float128-[a-z0-9]*)\\.o\\)$
     | Soft-float code in libgcc .soft-fp. | License: LGPL-2\\.1\\+ with soft-fp exception"
    "^(lib(mingw32|mingwex|msvcrt|moldname|kernel32|ws2_32|advapi32|user32)\\.a\\(|(crt2|dllcrt2)\\.o$)
     | The mingw-w64 runtime | -"
    "^libmingwex\\.a\\(.*-(dmisc|gdtoa|gethex|gmisc|hd_init|hexnan|misc|smisc|strtodg|strtof|strtopx|sum)\\.o\\)$
     | gdtoa in the mingw-w64 runtime .Lucent. | -"
    "^libmingwex\\.a\\(.*-strtodnrp\\.o\\)$ | strtodnrp in the mingw-w64 runtime .David M\\. Gay. | -"
    "^libmingwex\\.a\\(.*-mingw_pformat\\.o\\)$ | mingw_pformat in the mingw-w64 runtime .Keith Marshall. | -")
# The record's required fields, and those that vary by build or folder.
set(record_fields Format Source Binary Architecture Version Checksums-Md5 Checksums-Sha1 Checksums-Sha256
                  Build-Architecture Installed-Build-Depends Environment Git-Commit)
set(record_unstable "^Build-(Date|Path|Tainted-By|Kernel-Version)$")

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
        list(GET ARGN 0 tool)
        fail("${tool} failed:\n${out}")
    endif()
    set(${result} "${out}" PARENT_SCOPE)
endfunction()
function(require_rows dump)
    foreach(row IN LISTS ARGN)
        string(REGEX REPLACE "[ \n]+\\| " ";" row "${row}")
        require("${dump}" ${row})
    endforeach()
endfunction()

function(check_compile_flags)
    file(STRINGS ${TREE}/compile_commands.json commands ENCODING UTF-8
         REGEX "\"command\": .* -c .*[/\\]src[/\\]+[^/\\\"]+\\.cpp")
    if(NOT commands)
        fail("${TREE}/compile_commands.json has no compile command for a source of src/")
    endif()
    foreach(command IN LISTS commands)
        foreach(flag IN LISTS ARGN)
            string(FIND "${command}" " ${flag} " at)
            if(at EQUAL -1)
                fail("a source of src/ is compiled without ${flag}: ${command}")
            endif()
        endforeach()
    endforeach()
    list(LENGTH commands sources)
    list(JOIN ARGN " " flags)
    message(STATUS "  ${sources} sources compiled with ${flags}")
endfunction()

# The program that TREE built and its suites ran, byte for byte.
function(check_built program)
    get_filename_component(name ${program} NAME)
    file(SHA256 ${program} shipped)
    file(SHA256 ${TREE}/${name} built)
    if(NOT shipped STREQUAL built)
        fail("holds another ${name} than ${TREE}'s")
    endif()
    message(STATUS "  ${TREE}/${name}, byte for byte: yes")
endfunction()

function(check_elf program)
    find_program(READELF NAMES readelf REQUIRED)
    check_built(${program})
    run(dump ${READELF} -W --file-header --program-headers --dynamic --notes ${program})
    require_rows("${dump}" ${elf_rows})
    set(flags ${elf_flags})
    foreach(row IN LISTS control_flow_rows)
        string(REGEX REPLACE " \\| " ";" row "${row}")
        list(GET row 0 machine)
        list(GET row 1 flag)
        list(GET row 2 mark)
        if(dump MATCHES "Machine:[ \t]+${machine}\n")
            run(symbols ${READELF} -W --syms ${TREE}/sender.debug)
            string(REGEX MATCH "([0-9a-f]+) +[0-9]+ FUNC +GLOBAL +DEFAULT +[0-9]+ main\n" main "${symbols}")
            math(EXPR end "0x${CMAKE_MATCH_1} + 4" OUTPUT_FORMAT HEXADECIMAL)
            run(code ${CMAKE_OBJDUMP} -d --start-address=0x${CMAKE_MATCH_1} --stop-address=${end} ${program})
            require("${code}" "\t(${mark})" "main starts with ${mark} (${flag})")
            list(APPEND flags ${flag})
        endif()
    endforeach()
    check_compile_flags(${flags})
endfunction()

# The text in UTF-16 little-endian, in hex.
function(utf16 text result)
    string(HEX "${text}" hex)
    string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
    set(${result} "${hex}" PARENT_SCOPE)
endfunction()

function(check_exe program)
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
    list(FILTER dlls EXCLUDE REGEX "${windows_dlls}")
    if(dlls)
        fail("imports ${dlls}, which a bare Windows machine does not have")
    endif()

    # A version string: key, a zero, maybe a second (alignment), value.
    file(READ ${program} exe HEX)
    set(values ${CMAKE_PROJECT_VERSION} ${CMAKE_PROJECT_VERSION} sender.exe)
    foreach(key IN LISTS version_strings)
        list(POP_FRONT values value)
        utf16("${key}" key_hex)
        utf16("${value}" value_hex)
        if(NOT exe MATCHES "${key_hex}0000(0000)?([1-9a-f].|.[1-9a-f])00" OR
           value AND NOT exe MATCHES "${key_hex}0000(0000)?${value_hex}0000")
            fail("has no version string ${key} ${value}")
        endif()
    endforeach()
    message(STATUS "  version resource: ${version_strings}, version ${CMAKE_PROJECT_VERSION}")
    string(HEX [[level="asInvoker"]] asInvoker)
    require("${exe}" "${asInvoker}" "a manifest that asks for asInvoker")
endfunction()

function(check_notices notices column)
    file(GLOB map ${TREE}/sender.map ${TREE}/sender.exe.map)
    if(NOT map)
        fail("${TREE} has no link map (sender.map): the program was not linked statically")
    endif()
    # GNU ld's paths on Linux and Windows (C:/..., C:\...).
    set(path "([A-Za-z]:)?[/\\]")
    file(STRINGS ${map} inputs ENCODING UTF-8 REGEX "^(LOAD ${path}.*\\.o\r?$|${path}[^(]*\\.a\\([^)]*\\))")
    list(TRANSFORM inputs REPLACE "^(LOAD )?${path}([^(]*[/\\])?([^/\\(\r]+(\\([^)]*\\))?).*$" "\\4")
    list(REMOVE_DUPLICATES inputs)
    file(READ ${notices} text)
    file(STRINGS ${notices} headings REGEX "^== .* ==$")
    set(named ${notice_sections})
    set(uncovered ${inputs})
    foreach(row IN LISTS notice_rows)
        string(REGEX REPLACE "[ \n]+\\| " ";" row "${row}")
        list(GET row 0 pattern)
        list(GET row 1 heading)
        list(GET row 2 deb)
        set(carried ${inputs})
        list(FILTER carried INCLUDE REGEX "${pattern}")
        if(NOT carried AND column STREQUAL "deb" AND NOT deb STREQUAL "-" AND text MATCHES "${deb}")
            fail("has '${deb}', but the program carries none of its code")
        elseif(NOT carried)
            list(APPEND absent "${heading}")
            continue()
        endif()
        list(REMOVE_ITEM uncovered ${carried})
        list(GET carried 0 example)
        set(found ${headings})
        list(FILTER found INCLUDE REGEX "^== ${heading} ==$")
        string(REPLACE "\\" "" shown "== ${heading} ==")
        if(column STREQUAL "heading" AND NOT found)
            fail("${example} is in the program, but ${notices} has no heading like '${shown}'")
        elseif(column STREQUAL "deb" AND NOT deb STREQUAL "-" AND NOT text MATCHES "${deb}")
            fail("${example} is in the program, but ${notices} lacks its notice '${deb}'")
        endif()
        list(APPEND named "${heading}")
    endforeach()
    if(uncovered)
        list(GET uncovered 0 example)
        fail("${example} is in the program (${map}), but no row of release/check.cmake names its notice")
    endif()
    if(column STREQUAL "heading")
        list(JOIN named "|" named)
        list(JOIN absent "|" absent)
        foreach(heading IN LISTS headings)
            if(NOT heading MATCHES "^== (${named}) ==$" OR absent AND heading MATCHES "^== (${absent}) ==$")
                fail("names '${heading}', but the program carries none of its code")
            endif()
        endforeach()
    endif()
    list(LENGTH inputs count)
    message(STATUS "  notices for the ${count} inputs of the link: yes (${notices})")
endfunction()

# lintian; the record lists the .deb's architecture's libc6-dev as installed
# here, whose source Built-Using names, its .dsc beside it.
function(check_deb deb)
    find_program(LINTIAN lintian REQUIRED)
    execute_process(COMMAND ${LINTIAN} --pedantic -I --fail-on error,warning,info,pedantic ${deb}
                    RESULT_VARIABLE failed)
    if(failed)
        fail("lintian --pedantic -I shows a tag")
    endif()
    message(STATUS "  lintian --pedantic -I: clean")
    get_filename_component(dist ${deb} DIRECTORY)
    file(GLOB record ${dist}/*.buildinfo)
    run(arch dpkg-deb --field ${deb} Architecture)
    string(STRIP "libc6-dev:${arch}" libc)
    run(versions dpkg-query -W "-f=\${Version} (\${source:Version})" ${libc})
    file(READ "${record}" text)
    string(REGEX REPLACE " .*" "" binary "${versions}")
    string(REPLACE "+" "\\+" pattern "\n ${libc} \\(= ${binary}\\)")
    require("${text}" "${pattern}" "${record}'s ${libc}, as installed: ${versions}")
    run(built_using dpkg-deb --field ${deb} Built-Using)
    string(REGEX REPLACE ".* \\((.*)\\)" "\\1" source "${versions}")
    string(REPLACE "+" "\\+" pattern "^glibc \\(= ${source}\\)\n$")
    require("${built_using}" "${pattern}" "Built-Using: glibc (= ${source}), that libc6-dev's source")
    if(NOT EXISTS ${dist}/glibc_${source}.dsc)
        fail("has no glibc_${source}.dsc beside it")
    endif()
endfunction()

# The record or a .dsc: dscverify checks each file that it lists.
function(check_sums file)
    run(out dscverify --no-sig-check ${file})
    file(READ ${file} text)
    string(REGEX MATCH "\nChecksums-Sha256:\n(( [^\n]+\n)+)" listed "${text}")
    string(REGEX MATCHALL "[^ \n]+\n" listed "${CMAKE_MATCH_1}")
    string(REPLACE "\n" "" listed "${listed}")
    list(LENGTH listed count)
    message(STATUS "  dscverify: the ${count} files that it lists")
    string(REGEX MATCHALL "\n[A-Za-z0-9-]+:" fields "\n${text}")
    string(REGEX REPLACE "[\n:]" "" fields "${fields}")
    set(fields ${fields} PARENT_SCOPE)
    set(listed ${listed} PARENT_SCOPE)
endfunction()

# The build record lists every other release file but SHA256SUMS.
function(check_record record)
    check_sums(${record})
    get_filename_component(dist ${record} DIRECTORY)
    file(GLOB unlisted RELATIVE ${dist} ${dist}/*)
    get_filename_component(name ${record} NAME)
    list(REMOVE_ITEM unlisted SHA256SUMS ${name} ${listed})
    set(missing ${record_fields})
    list(REMOVE_ITEM missing ${fields})
    list(FILTER fields INCLUDE REGEX "${record_unstable}")
    foreach(fault IN ITEMS "does not list ${unlisted}" "lacks ${missing}" "has fields that vary: ${fields}")
        if(NOT fault MATCHES " $")
            fail(${fault})
        endif()
    endforeach()
    file(READ ${record} text)
    require("${text}" "\n LC_ALL=\"[^\n]+\n SOURCE_DATE_EPOCH=\"[0-9]+\"\n"
            "every other file, its fields, none that varies, the locale and SOURCE_DATE_EPOCH")
endfunction()

if(TREE)
    get_filename_component(TREE ${TREE} ABSOLUTE)
    load_cache(${TREE} READ_WITH_PREFIX "" CMAKE_PROJECT_VERSION CMAKE_OBJDUMP)
    find_program(OBJDUMP NAMES ${CMAKE_OBJDUMP} dumpbin) # the tree's, or MSVC's
endif()
foreach(file IN LISTS FILES)
    get_filename_component(file ${file} ABSOLUTE)
    set(checked_file ${file})
    message(STATUS "${file}")
    get_filename_component(name ${file} NAME)
    set(unpacked ${TREE}/release-check/${name})
    if(name MATCHES "\\.(deb|tar\\.gz|zip)$")
        file(REMOVE_RECURSE ${unpacked})
        file(MAKE_DIRECTORY ${unpacked})
    endif()
    if(name MATCHES "\\.deb$")
        run(out dpkg-deb -x ${file} ${unpacked})
        check_deb(${file})
        check_elf(${unpacked}/usr/bin/sender)
        check_notices(${unpacked}/usr/share/doc/sender/copyright deb)
    elseif(name MATCHES "\\.(tar\\.gz|zip)$")
        file(ARCHIVE_EXTRACT INPUT ${file} DESTINATION ${unpacked})
        file(GLOB top ${unpacked}/*)
        if(name MATCHES "zip$")
            check_built(${top}/bin/sender.exe)
            check_exe(${top}/bin/sender.exe)
            check_notices(${top}/NOTICES.txt heading)
        else()
            check_elf(${top}/bin/sender)
            check_notices(${top}/share/doc/sender/NOTICES heading)
        endif()
    elseif(name MATCHES "\\.exe$")
        check_exe(${file})
        if(NOT OBJDUMP MATCHES "[Dd][Uu][Mm][Pp][Bb][Ii][Nn]")
            check_notices(${source}/packaging/NOTICES.windows heading)
        endif()
    elseif(name MATCHES "\\.buildinfo$")
        check_record(${file})
    elseif(name MATCHES "\\.dsc$")
        check_sums(${file})
    else()
        fail("is no kind of file that the release ships")
    endif()
endforeach()

