# One place for the language level, warnings and Qt's safety defines.
add_library(meloport_options INTERFACE)
target_compile_features(meloport_options INTERFACE cxx_std_20)
target_compile_options(meloport_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
target_compile_definitions(meloport_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER)

option(MELOPORT_WERROR "Treat warnings as errors" OFF)
if(MELOPORT_WERROR)
    target_compile_options(meloport_options INTERFACE -Werror)
endif()

option(MELOPORT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(MELOPORT_SANITIZE)
    target_compile_options(meloport_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(meloport_options INTERFACE -fsanitize=address,undefined)
endif()

option(MELOPORT_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(MELOPORT_FUZZ)
    target_compile_options(meloport_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(meloport_options INTERFACE -fsanitize=address,undefined)
endif()

# The hardening that Debian builds its own packages with (dpkg-buildflags): stack guards, a
# relocation table made read-only once resolved at start, and checked buffer functions. Those
# checks need an optimised build, and the sanitizers check the same calls in their own way.
target_compile_options(meloport_options INTERFACE -fstack-protector-strong)
target_link_options(meloport_options INTERFACE LINKER:-z,relro LINKER:-z,now)
if(NOT MELOPORT_SANITIZE AND NOT MELOPORT_FUZZ)
    target_compile_definitions(meloport_options INTERFACE
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
